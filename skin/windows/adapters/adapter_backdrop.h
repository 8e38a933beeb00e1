// What the container and bar adapters paint on: the window-sized cache over what the parent
// shows at the window's place, the copy of that cache to a device context, and the font the
// window writes with.
#pragma once

#include <functional>

#include "platform/gdi/win_types.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/system/messages.h"

namespace vcl {
class TBitmap;
class TCanvas;
}  // namespace vcl

namespace skin {

class TacMainWnd;
class TsCommonData;

// The parent's background as seen from the adapter's window origin (the adapter's rectangles
// must be fresh: GetWindowRectsInParent). A parent that knows nothing gives its plain colour.
void WindowBackdrop(TacMainWnd* adapter, CacheInfo& info, PixelView& view);
// Fills `r` of the 24-bit target with what `behind` shows there (its bitmap, else its colour).
void FillFromBackdrop(vcl::TBitmap* target, TRect r, const CacheInfo& behind);
// The whole cache to `dc` at (0, 0); a null DC means the window's own.
void CopyCacheToWindow(TsCommonData* data, win::HWND wnd, win::HDC dc);
// The owner control's font, else the one the window answers WM_GETFONT with.
void SelectAdapterFont(TsCommonData* data, win::HWND wnd, vcl::TCanvas* canvas);
// Refreshes the adapter's rectangles and makes its cache the window's size showing what lies
// behind it (`behind`, whose scan lines `view` keeps), with the skin state's section over it
// when `section`. Null when the window has no area, or one too large for a picture.
vcl::TBitmap* PrepareBackdropCache(TacMainWnd* adapter, CacheInfo& behind, PixelView& view,
                                   bool section);
// `paint` into `dc`, or without one into the window between BeginPaint and EndPaint.
void PaintWithOwnDC(win::HWND wnd, win::HDC dc, const std::function<void(win::HDC)>& paint);
// The painting messages of an adapter that paints its whole window with `paint`: WM_PAINT (on
// the given DC, else the window's own) and WM_PRINT (with a DC) are painted and answer 0;
// WM_ERASEBKGND and WM_NCPAINT answer 1, as the paint covers them. Answers whether `m` was one
// of them.
bool PaintWholeWindow(win::HWND wnd, vcl::TMessage& m, const std::function<void(win::HDC)>& paint);
// The cache's edge strips, `border` pixels wide, to the window's frame.
void CopyCacheBorder(TsCommonData* data, win::HWND wnd, int border);
// Form redrawing is frozen around a skin change: adapters leave their windows alone.
bool FormsRedrawFrozen();

}  // namespace skin
