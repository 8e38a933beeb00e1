// The extended-border window. Its picture is the owner's frame cache: opaque inside the margins
// (the frame and caption), the shadow's alpha in them. Its region leaves out the owner's client
// area and menu rows, so the owner stays reachable there; in the shadow margin it answers
// HTTRANSPARENT and passes mouse messages that still reach it to the window below.
//
// Placing repaints the picture only when the owner's cache is stale or a repaint is asked: a
// live move with a fresh cache only moves the window, whose layered picture stays.
//
// The object may be freed from inside its own window's message (the owner takes the borders
// away while a message of ours runs): the window is hidden at once and freed after the
// message, and the running procedure touches nothing of the object once it is gone.
#include "skin/windows/effects/border_form.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

using vcl::TPoint;
using vcl::TRect;

namespace {

bool ClientMouseMessage(uint32_t msg) {
    return msg >= win::WM_MOUSEMOVE && msg <= win::WM_MBUTTONDBLCLK;
}

TPoint PointOf(win::LPARAM lp) {
    return {win::GET_X_LPARAM(lp), win::GET_Y_LPARAM(lp)};
}

win::LPARAM LParamOf(int x, int y) {
    return win::LPARAM(uint32_t(uint16_t(int16_t(x))) | uint32_t(uint16_t(int16_t(y))) << 16);
}

win::RECT WindowRectOf(win::HWND w) {
    win::RECT r{};
    if (w) win::GetWindowRect(w, &r);
    return r;
}

bool Dying(const vcl::TComponent* c) {
    return c == nullptr || c->ComponentState().Contains(vcl::csDestroying);
}

}  // namespace

TacBorderForm::TacBorderForm(std::unique_ptr<TacBorderOwner> owner) : owner_(std::move(owner)) {
    form_ = vcl::New<vcl::TForm>(nullptr);
    // The tag keeps the dialog hook and the adapters off this window.
    form_->SetTag(-98);
    form_->SetBorderStyle(vcl::bsNone);
    savedProc_ = form_->WindowProc;
    form_->WindowProc = vcl::TWndMethod(this, &TacBorderForm::BorderWndProc);
    const win::HWND h = form_->Handle();
    win::SetWindowLongPtrA(h, win::GWL_EXSTYLE,
                           win::GetWindowLongPtrA(h, win::GWL_EXSTYLE) | win::WS_EX_TOOLWINDOW |
                               win::WS_EX_NOACTIVATE);
}

TacBorderForm::~TacBorderForm() {
    life_.reset();
    owner_->KillAnimations();
    if (form_ == nullptr) return;
    form_->WindowProc = savedProc_;
    if (depth_ > 0 && !Dying(vcl::Application())) {
        // Inside one of its own messages: gone from the screen now, freed after the message.
        if (form_->HandleAllocated()) win::ShowWindow(form_->Handle(), win::SW_HIDE);
        form_->Release();
    } else {
        form_->Free();
    }
}

win::HWND TacBorderForm::Handle() const {
    return form_ && form_->HandleAllocated() ? form_->Handle() : nullptr;
}

win::HWND TacBorderForm::OwnerHandle() const {
    return owner_->Handle();
}

void TacBorderForm::PaintOwnerFrame() {
    owner_->PaintFrame();
}

bool TacBorderForm::Running() const {
    vcl::TApplication* app = vcl::Application();
    return app && !app->Terminated() && !Dying(app);
}

TRect TacBorderForm::GetFrameMargins() const {
    TsSkinManager* m = owner_->Manager();
    return m ? m->ShadowMargins : TRect{};
}

int TacBorderForm::TopOffset() const {
    const int caption = owner_->HasCaption() ? owner_->CaptionHeight(true) : 0;
    return GetFrameMargins().Top - owner_->FrameWidth(false) + caption -
           owner_->CaptionHeight(false);
}

int TacBorderForm::OffsetX() const {
    return owner_->FrameWidth(true) - owner_->FrameWidth(false) + GetFrameMargins().Left;
}

int TacBorderForm::OffsetY() const {
    // A dialog's picture is its window's rectangle grown by the margins.
    if (owner_->IsDialog()) return GetFrameMargins().Top;
    if (owner_->MaximizedExtended())
        return owner_->FrameWidth(false) + GetFrameMargins().Top + owner_->ExtCaptionExtra();
    return TopOffset();
}

win::HRGN TacBorderForm::MakeRgn() {
    const win::HWND w = Handle(), owner = owner_->Handle();
    if (!w || !owner) return nullptr;
    const win::RECT wr = WindowRectOf(w);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    const TRect m = GetFrameMargins();
    win::HRGN rgn = nullptr;
    if (win::IsZoomed(owner)) {
        // The frame without extension plus the extension's extra width.
        const int edge = owner_->FrameWidth(true);
        rgn = win::CreateRectRgn(m.Left + edge, m.Top + 4, width - edge - m.Right,
                                 height - edge - m.Bottom);
    } else if (!owner_->IsDialog()) {
        rgn = win::CreateRectRgn(0, 0, width, height);
    }
    if (owner_->IsDialog() || rgn == nullptr) return rgn;
    // The owner's client area and menu rows stay the owner's.
    const TRect c = owner_->ClientRect();
    win::HRGN client = win::CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom);
    win::CombineRgn(rgn, rgn, client, win::RGN_XOR);
    win::DeleteObject(client);
    return rgn;
}

void TacBorderForm::UpdateExBordersPos(bool repaint, uint8_t alpha) {
    const win::HWND owner = owner_->Handle();
    if (!form_ || !Running() || Updating || !owner) return;
    win::RECT r{};
    if (!win::GetWindowRect(owner, &r)) return;
    const win::HWND w = Handle();
    if (!owner_->IsDialog()) {
        if (owner_->Destroying()) {
            owner_->RemoveBorders();  // frees this object
            return;
        }
        if (owner_->PlacingPaused()) return;
        if (!win::IsWindowVisible(owner)) {
            win::ShowWindow(w, win::SW_HIDE);
            return;
        }
    } else if (!win::IsWindowVisible(owner)) {
        return;
    }
    const std::weak_ptr<int> life = life_;
    Updating = 1;
    TsCommonData* data = owner_->SkinData();
    if (data && (data->CacheStale || repaint)) {
        PaintOwnerFrame();
        repaint = true;
    }
    vcl::TBitmap* image = data ? data->CacheBmp() : nullptr;
    if (image == nullptr || image->Width() <= 0 || image->Height() <= 0) {
        Updating = 0;
        return;
    }
    const int x = r.left - OffsetX(), y = r.top - OffsetY();
    int height = image->Height();
    // A maximised form's border ends where the form does.
    if (!owner_->IsDialog() && win::IsZoomed(owner))
        height = std::min(height, OffsetY() + (r.bottom - r.top) - owner_->FrameWidth(false));
    const win::SIZE size{image->Width(), std::max(height, 1)};

    // Anchor: right below the owner; an iconic owner has nothing shown above it to follow.
    win::HWND anchor = win::IsIconic(owner) ? win::GetWindow(owner, win::GW_HWNDPREV) : owner;
    const bool topmost = win::GetWindowLongPtrA(owner, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST;
    if (topmost != (form_->FormStyle() == vcl::fsStayOnTop))
        form_->SetFormStyle(topmost ? vcl::fsStayOnTop : vcl::fsNormal);
    if (owner_->IsDialog() && (win::GetWindowLongPtrA(owner, win::GWL_STYLE) & win::WS_POPUP))
        win::SetWindowLongPtrA(w, win::GWL_STYLE,
                               win::GetWindowLongPtrA(w, win::GWL_STYLE) | win::WS_POPUP);

    const win::RECT now = WindowRectOf(w);
    const bool sameSize = now.right - now.left == size.cx && now.bottom - now.top == size.cy;
    if (!sameSize) repaint = true;
    win::UINT flags = win::SWP_NOACTIVATE | win::SWP_NOOWNERZORDER | win::SWP_NOSENDCHANGING;
    if (now.left == x && now.top == y) flags |= win::SWP_NOMOVE;
    if (sameSize) flags |= win::SWP_NOSIZE;
    if (!repaint) flags |= win::SWP_NOREDRAW;
    win::SetWindowPos(w, anchor ? anchor : win::HWND_TOP, x, y, size.cx, size.cy, flags);
    if (life.expired()) return;

    if (repaint && !PassThrough && LayeredWindowsAvailable()) {
        win::SetWindowLongPtrA(w, win::GWL_EXSTYLE,
                               win::GetWindowLongPtrA(w, win::GWL_EXSTYLE) | win::WS_EX_LAYERED |
                                   win::WS_EX_NOACTIVATE);
        win::SetWindowRgn(w, MakeRgn(), win::FALSE);
        const win::POINT src{0, 0};
        const win::BLENDFUNCTION blend{win::AC_SRC_OVER, 0, owner_->ConstantAlpha(alpha),
                                       win::AC_SRC_ALPHA};
        win::UpdateLayeredWindow(w, nullptr, nullptr, &size, image->Canvas()->Handle(), &src,
                                 0x1FFFFFFF, &blend, win::ULW_ALPHA);
        // Shown at alpha 0 the owner must not repaint meanwhile.
        const auto style = uint32_t(win::GetWindowLongA(owner, win::GWL_STYLE));
        const bool hideOwner = alpha == 0 && (style & win::WS_VISIBLE);
        if (hideOwner)
            win::SetWindowLongA(owner, win::GWL_STYLE, int32_t(style & ~win::WS_VISIBLE));
        win::ShowWindow(w, win::SW_SHOWNOACTIVATE);
        if (hideOwner && win::IsWindow(owner))
            win::SetWindowLongA(
                owner, win::GWL_STYLE,
                win::GetWindowLongA(owner, win::GWL_STYLE) | int32_t(win::WS_VISIBLE));
        if (life.expired()) return;
    }
    Updating = 0;
}

bool TacBorderForm::PtInMargin(const vcl::TMessage& msg) {
    TsSkinManager* manager = owner_->Manager();
    const win::HWND w = Handle(), owner = owner_->Handle();
    if (!Running() || !manager || !manager->Active() || !w || !owner) return false;
    TPoint p = PointOf(msg.LParam);
    // Client mouse messages carry the border window's own points (it has no non-client part);
    // the others screen points.
    if (!ClientMouseMessage(msg.Msg)) {
        const win::RECT r = WindowRectOf(w);
        p = {p.X - r.left, p.Y - r.top};
    }
    if (win::IsZoomed(owner)) return false;
    const win::RECT r = WindowRectOf(w);
    const TRect m = GetFrameMargins();
    const bool inside = p.X >= m.Left && p.Y >= m.Top && p.X < r.right - r.left - m.Right &&
                        p.Y < r.bottom - r.top - m.Bottom;
    if (inside) return false;
    owner_->SetHotHT(-1);
    return true;
}

int TacBorderForm::SizingZone(int x, int y, int w, int h) const {
    const int f = owner_->FrameWidth(false);
    const TRect m = GetFrameMargins();
    const bool top = y >= m.Top && y <= m.Top + f;
    const bool bottom = y >= h - f - m.Bottom && y <= h - m.Bottom;
    if (x >= m.Left && x <= m.Left + f)
        return top ? win::HTTOPLEFT : bottom ? win::HTBOTTOMLEFT : win::HTLEFT;
    if (x >= w - f - m.Right && x <= w - m.Right)
        return top ? win::HTTOPRIGHT : bottom ? win::HTBOTTOMRIGHT : win::HTRIGHT;
    return top ? win::HTTOP : bottom ? win::HTBOTTOM : 0;
}

int TacBorderForm::HitTest(vcl::TMessage& msg) {
    const win::HWND w = Handle(), owner = owner_->Handle();
    if (!w || !owner) return win::HTTRANSPARENT;
    const win::RECT r = WindowRectOf(w);
    const TPoint screen = PointOf(msg.LParam);
    const TPoint p{screen.X - r.left, screen.Y - r.top};
    const std::weak_ptr<int> life = life_;
    const bool answered = owner_->ExtHitTest(msg);
    // The application's handler may have taken the borders away.
    if (life.expired()) return answered ? int(msg.Result) : int(win::HTTRANSPARENT);
    if (answered) return int(msg.Result);
    if (!win::IsWindowEnabled(owner)) return win::HTTRANSPARENT;
    if (const int button = owner_->ButtonAt(p)) {
        owner_->SetHotHT(button);
        return button;
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (!win::IsZoomed(owner) &&
        (win::GetWindowLongPtrA(owner, win::GWL_STYLE) & win::WS_THICKFRAME)) {
        if (const int zone = SizingZone(p.X, p.Y, width, height)) {
            owner_->SetHotHT(-1);
            return zone;
        }
    }
    owner_->SetHotHT(-1);
    const int captionBottom =
        owner_->FrameWidth(false) + owner_->CaptionHeight(true) + GetFrameMargins().Top;
    if (p.Y >= 0 && p.Y <= captionBottom)
        return owner_->IconRect().Contains(p) ? win::HTSYSMENU : win::HTCAPTION;
    if (p.Y <= captionBottom + owner_->MenuHeight()) return win::HTMENU;
    if (owner_->GripAt(p)) {
        owner_->SetHotHT(win::HTBOTTOMRIGHT);
        return win::HTBOTTOMRIGHT;
    }
    owner_->SetHotHT(0);
    return win::HTTRANSPARENT;
}

bool TacBorderForm::UpdateCursor() {
    win::POINT c{};
    win::GetCursorPos(&c);
    vcl::TMessage m{};
    m.Msg = win::WM_NCHITTEST;
    m.LParam = LParamOf(c.x, c.y);
    if (PtInMargin(m)) return false;
    const char* cursor = nullptr;
    switch (HitTest(m)) {
        case win::HTCAPTION:
        case win::HTMENU:
            cursor = win::IDC_ARROW;
            break;
        case win::HTLEFT:
        case win::HTRIGHT:
            cursor = win::IDC_SIZEWE;
            break;
        case win::HTTOP:
        case win::HTBOTTOM:
            cursor = win::IDC_SIZENS;
            break;
        case win::HTTOPLEFT:
        case win::HTBOTTOMRIGHT:
            cursor = win::IDC_SIZENWSE;
            break;
        case win::HTTOPRIGHT:
        case win::HTBOTTOMLEFT:
            cursor = win::IDC_SIZENESW;
            break;
        default:
            return false;
    }
    win::SetCursor(win::LoadCursorA(nullptr, cursor));
    return true;
}

void TacBorderForm::PassToWindowBelow(vcl::TMessage& m) {
    const win::HWND w = Handle();
    const win::RECT r = WindowRectOf(w);
    const TPoint p = PointOf(m.LParam);  // the border window's own point
    const win::POINT screen{r.left + p.X, r.top + p.Y};
    const std::weak_ptr<int> life = life_;
    PassThrough = 1;
    // A hole under the point, so that the window below is found there.
    win::HRGN rgn = MakeRgn();
    if (rgn == nullptr) rgn = win::CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top);
    win::HRGN hole = win::CreateRectRgn(p.X, p.Y, p.X + 1, p.Y + 1);
    win::CombineRgn(rgn, rgn, hole, win::RGN_XOR);
    win::DeleteObject(hole);
    if (owner_->Modal())
        win::DeleteObject(rgn);
    else
        win::SetWindowRgn(w, rgn, win::FALSE);
    const win::HWND target = win::WindowFromPoint(screen);
    if (target && target != w && target != owner_->Handle()) {
        // The target gets the point in its own client coordinates.
        win::POINT q = screen;
        win::ScreenToClient(target, &q);
        win::SendMessageA(target, m.Msg, m.WParam, LParamOf(q.x, q.y));
    }
    if (!life.expired()) PassThrough = 0;
}

void TacBorderForm::DoubleClick(vcl::TMessage& m) {
    const std::weak_ptr<int> life = life_;
    owner_->StopOutline();
    if (life.expired()) return;
    const int code = HitTest(m);
    if (code == win::HTSYSMENU)
        win::SendMessageA(owner_->Handle(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
    else if (code == win::HTCAPTION)
        owner_->CaptionDoubleClick();
}

void TacBorderForm::BorderWndProc(vcl::TMessage& m) {
    const std::weak_ptr<int> life = life_;
    ++depth_;
    struct Leave {
        TacBorderForm* self;
        const std::weak_ptr<int>& life;
        ~Leave() {
            if (!life.expired()) --self->depth_;
        }
    } leave{this, life};
    const vcl::TWndMethod saved = savedProc_;  // outlives the object while this runs

    if (ClientMouseMessage(m.Msg) && PtInMargin(m)) {
        PassToWindowBelow(m);
        return;
    }
    const win::HWND owner = owner_->Handle();
    switch (m.Msg) {
        case win::WM_NCHITTEST:
            if (PtInMargin(m)) {
                saved(m);
                m.Result = win::HTTRANSPARENT;
            } else {
                // The non-client button messages then come here whatever the point.
                m.Result = win::HTOBJECT;
            }
            return;
        case win::WM_NCLBUTTONDOWN:
        case win::WM_NCLBUTTONUP:
        case win::WM_NCRBUTTONUP:
            // The owner hit-tests the point itself.
            if (!PtInMargin(m) && owner)
                m.Result =
                    win::SendMessageA(owner, m.Msg, win::WPARAM(win::HTTRANSPARENT), m.LParam);
            return;
        case win::WM_NCRBUTTONDOWN:
            if (!PtInMargin(m) && owner)
                m.Result = win::SendMessageA(owner, m.Msg, win::WPARAM(HitTest(m)), m.LParam);
            return;
        case win::WM_NCLBUTTONDBLCLK:
            DoubleClick(m);
            return;
        case win::WM_MOUSEACTIVATE:
            m.Result = win::MA_NOACTIVATE;
            if (owner) win::SetForegroundWindow(owner);
            return;
        case win::WM_SETCURSOR:
            if (UpdateCursor())
                m.Result = 1;
            else if (!life.expired())
                saved(m);
            return;
        case win::WM_WINDOWPOSCHANGED: {
            // Title-button glows are placed by this window: they go when it moves or sizes.
            auto* wp = reinterpret_cast<const win::WINDOWPOS*>(m.LParam);
            if (!wp || (wp->flags & (win::SWP_NOMOVE | win::SWP_NOSIZE)) !=
                           (win::SWP_NOMOVE | win::SWP_NOSIZE))
                owner_->KillAnimations();
            saved(m);
            if (!life.expired() && !PassThrough) UpdateExBordersPos(false, 255);
            return;
        }
        case win::WM_NCPAINT:
            m.Result = 0;
            return;
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        default:
            saved(m);
            return;
    }
}

}  // namespace skin
