// Painting by the default procedure: the classic frame and caption, the class background, and
// WM_PAINT and WM_PRINT for windows that leave them to it. The frame is painted straight onto
// the window, and only while the window is visible and not locked by WM_SETREDRAW.
#pragma once

#include "platform/user/win_types.h"

namespace win::detail {

struct Window;

// The whole menu bar is painted with the frame (WM_NCPAINT); menu tracking repaints single items.
enum class FrameParts { All, Caption, ScrollBars };

void PaintFrame(Window* w, FrameParts parts);
void PaintCaptionButton(Window* w, LRESULT hit, bool pressed);
// WM_ERASEBKGND: fills the DC in `dc` with the class brush; non-zero when it did.
LRESULT EraseWithClassBrush(Window* w, WPARAM dc);
void DefaultPaint(Window* w);
void DefaultPrint(Window* w, WPARAM dc, LPARAM flags);
LRESULT DefaultControlColor(UINT msg, WPARAM dc);

}  // namespace win::detail
