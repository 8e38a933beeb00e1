#include "skin/core/graphic_children.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/rect.h"
#include "platform/user/input.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"
#include "skin/core/neighbour_services.h"
#include "vcl/controls/forms.h"

namespace skin {

void PaintParentBackground(win::HDC, vcl::TWinControl*, vcl::TPoint) {}

bool IsGraphicChildPaintable(vcl::TControl* child, win::HDC dc) {
    if (!child) return false;
    if (!child->Visible() && !child->ComponentState().Contains(vcl::csDesigning)) return false;
    if (!dynamic_cast<vcl::TGraphicControl*>(child)) return false;
    if (child->Width() < 1 || child->Height() < 1) return false;
    if (child->ComponentState().Contains(vcl::csDestroying)) return false;
    const win::RECT r = child->BoundsRect();
    return win::RectVisible(dc, &r);
}

void PaintControlToBitmap(vcl::TBitmap*, vcl::TControl*, int, TsSkinProviderBase*, int) {}

bool IsControlReadyToPaint(vcl::TControl* control) {
    if (!control) return false;
    if (auto* w = dynamic_cast<vcl::TWinControl*>(control); w && !w->HandleAllocated())
        return false;
    if (control->ControlState.Contains(vcl::csCreating) ||
        control->ControlState.Contains(vcl::csReadingState))
        return false;
    const vcl::TComponentState s = control->ComponentState();
    if (s.Contains(vcl::csLoading) || s.Contains(vcl::csDestroying)) return false;
    return control->Parent() != nullptr;
}

namespace {

template <class T>
T* OwnerOfClass(vcl::TComponent* component) {
    for (vcl::TComponent* c = component; c; c = c->Owner())
        if (auto* found = dynamic_cast<T*>(c)) return found;
    return nullptr;
}

}  // namespace

vcl::TCustomForm* OwnerForm(vcl::TComponent* component) {
    return OwnerOfClass<vcl::TCustomForm>(component);
}

vcl::TCustomFrame* OwnerFrame(vcl::TComponent*) {
    return nullptr;
}

TsSkinProviderBase* FindFormSkinProvider(vcl::TCustomForm* form) {
    if (!form) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        vcl::TComponent* c = form->Components(i);
        if (c->ComponentState().Contains(vcl::csDestroying)) continue;
        if (auto* provider = dynamic_cast<TsSkinProviderBase*>(c)) return provider;
    }
    return nullptr;
}

void GetClientRectInWindow(win::HWND wnd, win::RECT& rect) {
    win::GetClientRect(wnd, &rect);
    win::RECT window{};
    win::GetWindowRect(wnd, &window);
    win::POINT origin{window.left, window.top};
    win::MapWindowPoints(nullptr, wnd, &origin, 1);
    win::OffsetRect(&rect, -origin.x, -origin.y);
}

int AlignedControlsSize(vcl::TWinControl* control, vcl::TAlign align, bool includeGraphic) {
    if (!control) return 0;
    const bool vertical = align == vcl::alTop || align == vcl::alBottom;
    if (!vertical && align != vcl::alLeft && align != vcl::alRight) return 0;
    int sum = 0;
    for (int i = 0; i < control->ControlCount(); ++i) {
        vcl::TControl* c = control->Controls(i);
        if (!c->Visible() || c->Align() != align) continue;
        if (!includeGraphic && !dynamic_cast<vcl::TWinControl*>(c)) continue;
        sum += vertical ? c->Height() : c->Width();
    }
    return sum;
}

win::HWND TopParentWindow(win::HWND wnd) {
    while (win::HWND parent = win::GetParent(wnd)) wnd = parent;
    return wnd;
}

uint32_t TextFlagsForAlignment(vcl::TControl* control, vcl::TAlignment alignment) {
    static constexpr uint32_t kFlags[] = {win::DT_LEFT, win::DT_RIGHT, win::DT_CENTER};
    return control->DrawTextBiDiModeFlags(kFlags[alignment] | win::DT_EXPANDTABS |
                                          win::DT_VCENTER);
}

void GetCursorPosition(vcl::TPoint& point) {
    win::POINT p{};
    win::GetCursorPos(&p);
    point = vcl::TPoint{p.x, p.y};
}

}  // namespace skin
