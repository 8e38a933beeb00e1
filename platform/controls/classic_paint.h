// Drawing of the classic control look shared by the native controls: raised and sunken 3-D
// frames, the dotted focus frame, and label text with "&" mnemonics.
#pragma once

#include <string>

#include "platform/gdi/win_types.h"
#include "platform/user/messages.h"

namespace win {

// Two-pixel frames in system colours.
void DrawRaisedFrame(HDC dc, RECT r, bool pressed);
void DrawSunkenFrame(HDC dc, RECT r);
void DrawEtchedFrame(HDC dc, RECT r);
void DrawDottedFocus(HDC dc, RECT r);
void FillSysColor(HDC dc, const RECT& r, int colorIndex);
// The face of a push button: filled, with the black frame of the default button when framed,
// raised or (pressed) flat edges. Answers the rectangle the edges were drawn on.
RECT DrawPushFace(HDC dc, RECT r, bool framed, bool pressed);
// A group box: filled with bg, an etched frame from halfway down the caption's line, broken
// at the left for the caption, drawn with the selected font.
void DrawGroupFrame(HDC dc, const RECT& r, const std::string& caption, HBRUSH bg, bool disabled);
// Every other pixel in each colour, as a checkerboard (the face of a button stuck down).
void FillCheckered(HDC dc, const RECT& r, int colorIndex, int otherIndex);

// Text laid out in the rectangle: wrapped (unless singleLine), aligned left, centred or right
// (align 0, 1, 2) and centred vertically when vcenter. A single "&" is not drawn and
// underlines the next character unless noPrefix; "&&" shows one "&". Disabled text is drawn
// embossed. Answers the rectangle the text covers.
RECT DrawLabelText(HDC dc, const std::string& text, RECT r, int align, bool vcenter,
                   bool singleLine, bool noPrefix, bool disabled);

// WM_DRAWITEM to the owner of an owner-drawn item, with the DC's state kept around it so that
// nothing the owner selects outlasts its drawing.
void SendDrawItem(HWND owner, const DRAWITEMSTRUCT& dis);

// WM_PAINT of a control that paints itself whole: into the DC in wParam when one is given
// (WM_PRINTCLIENT-style callers), else between BeginPaint and EndPaint.
LRESULT PaintWholeControl(HWND h, WPARAM wParam, void (*paint)(HWND, HDC));

}  // namespace win
