#include "skin/core/state/graphic_children.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/rect.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/graphics.h"

namespace skin {

namespace {

bool paintingChildren = false;  // the re-entry guard of PaintParentBackground

bool Designing(const vcl::TComponent* c) {
    return c->ComponentState().Contains(vcl::csDesigning);
}

// A bitmap as large as the control in the screen's format, selected into a memory DC; freed
// with the object.
class WorkImage {
public:
    WorkImage(int width, int height) {
        // In the screen's format without opening the screen's DC, which composes the screen.
        bmp_ = win::CreateCompatibleBitmap(nullptr, width, height);
        dc_ = win::CreateCompatibleDC(nullptr);
        old_ = win::SelectObject(dc_, bmp_);
    }
    ~WorkImage() {
        win::SelectObject(dc_, old_);
        win::DeleteDC(dc_);
        win::DeleteObject(bmp_);
    }
    WorkImage(const WorkImage&) = delete;
    WorkImage& operator=(const WorkImage&) = delete;
    win::HDC DC() const { return dc_; }

private:
    win::HBITMAP bmp_;
    win::HDC dc_;
    win::HGDIOBJ old_;
};

// Fills `r` of `dc` with what `info` says lies at `source` of the background: its bitmap, or
// its colour.
void PutBackground(win::HDC dc, const TRect& r, const BackgroundInfo& info, TPoint source) {
    if (info.BgType != btFill && info.Bmp) {
        win::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), info.Bmp->Canvas()->Handle(),
                    source.X, source.Y, win::SRCCOPY);
    } else {
        FillRectSolid(dc, r, info.Color);
    }
}

}  // namespace

void PaintParentBackground(win::HDC dc, vcl::TWinControl* control, vcl::TPoint offset) {
    if (paintingChildren || !control) return;
    paintingChildren = true;
    struct Guard {
        ~Guard() { paintingChildren = false; }
    } guard;
    if ((!control->Visible() && !Designing(control)) || control->ControlCount() == 0) return;
    win::RECT clip{};
    if (win::GetClipBox(dc, &clip) == win::NULLREGION || clip.right <= clip.left ||
        clip.bottom <= clip.top) {
        SendSkinCommandToControl(control, SKC_SETHALFVISIBLE, 0);
        return;
    }
    BackgroundInfo info;
    GetParentBackground(info, control, false);

    std::vector<vcl::TControl*> children;
    for (int i = 0; i < control->ControlCount(); ++i)
        if (vcl::TControl* c = control->Controls(i); IsGraphicChildPaintable(c, dc))
            children.push_back(c);
    if (children.empty()) return;

    auto* mdiForm = dynamic_cast<vcl::TCustomForm*>(control);
    if (mdiForm && mdiForm->FormStyle() != vcl::fsMDIForm) mdiForm = nullptr;
    // The work image covers only the children, not the whole control: a large form would
    // otherwise clear a whole-window bitmap on every erase. `at` is the image's origin in the
    // control.
    TRect area = children.front()->BoundsRect();
    for (vcl::TControl* c : children) {
        const TRect r = c->BoundsRect();
        area = TRect(std::min(area.Left, r.Left), std::min(area.Top, r.Top),
                     std::max(area.Right, r.Right), std::max(area.Bottom, r.Bottom));
    }
    const TPoint at(area.Left, area.Top);
    auto inWork = [&](TRect r) {
        return TRect(r.Left - at.X, r.Top - at.Y, r.Right - at.X, r.Bottom - at.Y);
    };
    WorkImage work(area.Width(), area.Height());
    for (vcl::TControl* c : children) {
        const TRect r = c->BoundsRect();
        if (c->ControlStyle.Contains(vcl::csOpaque))
            FillRectSolid(work.DC(), inWork(r), AskControlBackColor(c));
        else
            PutBackground(work.DC(), inWork(r), info,
                          {r.Left + info.Offset.X, r.Top + info.Offset.Y});
    }
    for (vcl::TControl* c : children) {
        if (mdiForm && c->Visible()) c->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REPAINTGRAPHIC));
        const int saved = win::SaveDC(work.DC());
        // Clipped in part where it lands: the child may keep a smaller picture.
        const TRect r = c->BoundsRect();
        if (r.Left + offset.X < clip.left || r.Top + offset.Y < clip.top ||
            r.Right + offset.X > clip.right || r.Bottom + offset.Y > clip.bottom)
            SendSkinCommandToControl(c, SKC_SETHALFVISIBLE, 0);
        win::OffsetWindowOrgEx(work.DC(), at.X - r.Left, at.Y - r.Top, nullptr);
        win::IntersectClipRect(work.DC(), 0, 0, r.Width(), r.Height());
        const bool copy = control->ControlState.Contains(vcl::csPaintCopy) &&
                          !c->ControlState.Contains(vcl::csPaintCopy);
        if (copy) c->ControlState.Include(vcl::csPaintCopy);
        c->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(work.DC()), 0);
        if (copy) c->ControlState.Exclude(vcl::csPaintCopy);
        win::RestoreDC(work.DC(), saved);
    }
    for (vcl::TControl* c : children) {
        const TRect r = c->BoundsRect();
        // The child was drawn at its own place in the work image; it is probed there too.
        const TRect w = inWork(r);
        if (win::GetPixel(work.DC(), w.Left, w.Top) == win::COLORREF(kTransparentKey)) continue;
        win::BitBlt(dc, r.Left + offset.X, r.Top + offset.Y, r.Width(), r.Height(), work.DC(),
                    w.Left, w.Top, win::SRCCOPY);
    }
}

bool IsGraphicChildPaintable(vcl::TControl* child, win::HDC dc) {
    if (!child) return false;
    if (!child->Visible() && !child->ComponentState().Contains(vcl::csDesigning)) return false;
    if (!dynamic_cast<vcl::TGraphicControl*>(child)) return false;
    if (child->Width() < 1 || child->Height() < 1) return false;
    if (child->ComponentState().Contains(vcl::csDestroying)) return false;
    const win::RECT r = child->BoundsRect();
    return win::RectVisible(dc, &r);
}

namespace {

// The control and its shown windowed children, each at its place, into `dc` (origin at the
// control's top-left).
void PaintWindowedTree(win::HDC dc, vcl::TWinControl* control) {
    auto paintChild = [dc](vcl::TWinControl* child) {
        const int saved = win::SaveDC(dc);
        auto* form = dynamic_cast<vcl::TCustomForm*>(child);
        if (!form || form->Parent())
            win::OffsetWindowOrgEx(dc, -child->Left(), -child->Top(), nullptr);
        win::IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        PaintWindowedTree(dc, child);
        win::RestoreDC(dc, saved);
    };
    auto* mdiForm = dynamic_cast<vcl::TCustomForm*>(control);
    if (mdiForm && mdiForm->FormStyle() == vcl::fsMDIForm) {
        for (int i = 0; i < control->ControlCount(); ++i) {
            auto* child = dynamic_cast<vcl::TCustomForm*>(control->Controls(i));
            if (child && child->FormStyle() == vcl::fsMDIChild) paintChild(child);
        }
    }
    if (SendSkinCommandToControl(control, SKC_ISSKINAWARE, 0) == 1)
        win::SendMessageA(control->Handle(), win::WM_PRINT, reinterpret_cast<win::WPARAM>(dc), 0);
    else
        control->PaintTo(dc, 0, 0);
    for (int i = 0; i < control->ControlCount(); ++i) {
        auto* child = dynamic_cast<vcl::TWinControl*>(control->Controls(i));
        if (child && child->Visible()) paintChild(child);
    }
}

}  // namespace

void PaintControlToBitmap(vcl::TBitmap* bmp, vcl::TControl* control, int x,
                          TsSkinProviderBase* provider, int y) {
    if (!bmp || !control) return;
    win::HDC dc = bmp->Canvas()->Handle();
    if (!provider && control->Parent() && !control->Visible()) {
        // A hidden control shows what lies behind it.
        BackgroundInfo info;
        GetParentBackground(info, control->Parent(), false);
        PutBackground(dc, vcl::Bounds(x, y, control->Width(), control->Height()), info,
                      {info.Offset.X + control->Left(), info.Offset.Y + control->Top()});
        return;
    }
    const int saved = win::SaveDC(dc);
    TacBorderFormBase* border = provider ? provider->BorderForm() : nullptr;
    if (!border) win::IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    if (auto* windowed = dynamic_cast<vcl::TWinControl*>(control)) {
        PaintWindowedTree(dc, windowed);
        if (border) {
            // The layered border window shows the form's client area fully opaque.
            const PixelView v = ViewOf(bmp);
            if (v.BytesPerPixel == 4) {
                TRect r = vcl::Bounds(provider->ClientOffsetX(), provider->ClientOffsetY(),
                                      control->ClientWidth(), control->ClientHeight());
                r.Left = std::max(r.Left, 0);
                r.Top = std::max(r.Top, 0);
                r.Right = std::min(r.Right, v.Width);
                r.Bottom = std::min(r.Bottom, v.Height);
                for (int py = r.Top; py < r.Bottom; ++py)
                    for (int px = r.Left; px < r.Right; ++px)
                        v.At(px, py)[3] = 255;
            }
        }
    } else {
        control->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(dc), 0);
    }
    win::RestoreDC(dc, saved);
}

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

vcl::TCustomFrame* OwnerFrame(vcl::TComponent* component) {
    return OwnerOfClass<vcl::TCustomFrame>(component);
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
    while (win::HWND parent = win::GetParent(wnd))
        wnd = parent;
    return wnd;
}

uint32_t TextFlagsForAlignment(vcl::TControl* control, vcl::TAlignment alignment) {
    static constexpr uint32_t kFlags[] = {win::DT_LEFT, win::DT_RIGHT, win::DT_CENTER};
    return control->DrawTextBiDiModeFlags(kFlags[alignment] | win::DT_EXPANDTABS | win::DT_VCENTER);
}

void GetCursorPosition(vcl::TPoint& point) {
    win::POINT p{};
    win::GetCursorPos(&p);
    point = vcl::TPoint{p.x, p.y};
}

}  // namespace skin
