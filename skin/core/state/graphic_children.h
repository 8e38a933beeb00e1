// Graphic children over a skinned control, control pictures, and small window services.
//
// A skinned windowed control paints its face from its cache image; the graphic (window-less)
// children that sit on it would be lost under that image. PaintParentBackground paints them
// afterwards into the same DC, each over the background it should show. PaintControlToBitmap
// takes the picture of a whole control tree into a bitmap (form animations, hints).
//
// Rules these routines keep:
//  1. PaintParentBackground does not re-enter: a child whose paint makes the parent paint again
//     is dropped, not queued. The guard is cleared on every way out.
//  2. Its work image is made at most once per call, only when a graphic child is visible in the
//     DC, and is always freed.
//  3. A child is drawn into the work image at its own position (Left, Top); the probe that
//     decides whether it is copied out reads it there too: a child whose top-left pixel is the
//     key colour 0xFF00FF is not copied.
//  4. PaintControlToBitmap writes alpha only inside the bitmap.
#pragma once

#include <string>

#include "platform/gdi/win_types.h"
#include "vcl/controls/controls.h"

namespace vcl {
class TBitmap;
class TComponent;
class TCustomForm;
class TCustomFrame;
}  // namespace vcl

namespace skin {

class TsSkinProviderBase;

// Paints the graphic children of `control` into `dc`, where the control's origin lies at
// `offset`, each over its background.
void PaintParentBackground(win::HDC dc, vcl::TWinControl* control, vcl::TPoint offset);
// The child is shown (or designed), graphic, at least 1 x 1, not being destroyed, and its
// bounds are visible in `dc`.
bool IsGraphicChildPaintable(vcl::TControl* child, win::HDC dc);
// The picture of `control` and its windowed children into `bmp` at (x, y); `provider` is the
// form's skin provider when a whole skinned form is taken, else nullptr. A hidden control with
// a parent gives what lies behind it.
void PaintControlToBitmap(vcl::TBitmap* bmp, vcl::TControl* control, int x,
                          TsSkinProviderBase* provider, int y);
// Not null, has its window when windowed, not being created, read, loaded or destroyed, and
// has a parent.
bool IsControlReadyToPaint(vcl::TControl* control);

// The first form (frame) up the Owner chain, the component itself included; nullptr when none.
vcl::TCustomForm* OwnerForm(vcl::TComponent* component);
vcl::TCustomFrame* OwnerFrame(vcl::TComponent* component);
// The first skin provider owned by the form that is not being destroyed, or nullptr.
TsSkinProviderBase* FindFormSkinProvider(vcl::TCustomForm* form);

// The client rectangle of `wnd` in the window's own coordinates.
void GetClientRectInWindow(win::HWND wnd, win::RECT& rect);
// Sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children
// with that alignment; graphic children count only with `includeGraphic`. 0 for other values.
int AlignedControlsSize(vcl::TWinControl* control, vcl::TAlign align, bool includeGraphic);
// The top-most ancestor of `wnd`; `wnd` itself when it has no parent.
win::HWND TopParentWindow(win::HWND wnd);
// DrawText flags for an alignment: left, right or centre with DT_EXPANDTABS | DT_VCENTER.
uint32_t TextFlagsForAlignment(vcl::TControl* control, vcl::TAlignment alignment);
void GetCursorPosition(vcl::TPoint& point);

}  // namespace skin
