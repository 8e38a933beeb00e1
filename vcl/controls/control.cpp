// TControl: bounds, visibility, colour and font inheritance, text, hints, repainting and the
// message handlers every control shares.
#include "vcl/controls/controls.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <unordered_map>

#include "platform/gdi/gdi.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "vcl/controls/control_internals.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/menus.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/list.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

using namespace controls_internal;

std::vector<TPropInfo> TControl::Published() {
    return {Property("Left", &TControl::Left, &TControl::SetLeft),
            Property("Top", &TControl::Top, &TControl::SetTop),
            Property("Width", &TControl::Width, &TControl::SetWidth),
            Property("Height", &TControl::Height, &TControl::SetHeight),
            Property("Align", &TControl::Align, &TControl::SetAlign),
            Property("Visible", &TControl::Visible, &TControl::SetVisible),
            Property("Enabled", &TControl::Enabled, &TControl::SetEnabled),
            Property("Color", &TControl::Color, &TControl::SetColor),
            Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor),
            Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont),
            Property("Caption", &TControl::Caption, &TControl::SetCaption),
            Property("Text", &TControl::Caption, &TControl::SetCaption),
            Property("Hint", &TControl::Hint, &TControl::SetHint),
            Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint),
            Property("Cursor", &TControl::Cursor, &TControl::SetCursor),
            Property("Alignment", &TControl::Alignment, &TControl::SetAlignment),
            Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint),
            Property("Anchors", &TControl::AnchorBits, &TControl::SetAnchorBits),
            Property("Font", &TControl::PublishedFont, &TControl::SetFont),
            Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)};
}

void TSizeConstraints::Set(int& field, int v) {
    v = std::max(v, 0);
    if (field == v) return;
    field = v;
    OnChange(this);
}

void TSizeConstraints::Constrain(int& width, int& height) const {
    if (maxWidth_ > 0) width = std::min(width, maxWidth_);
    if (maxHeight_ > 0) height = std::min(height, maxHeight_);
    width = std::max(width, minWidth_);
    height = std::max(height, minHeight_);
}

void TSizeConstraints::Assign(const TPersistent* source) {
    const auto* c = dynamic_cast<const TSizeConstraints*>(source);
    if (!c) return TPersistent::Assign(source);
    minWidth_ = c->minWidth_;
    minHeight_ = c->minHeight_;
    maxWidth_ = c->maxWidth_;
    maxHeight_ = c->maxHeight_;
    OnChange(this);
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    constraints_.OnChange = TNotifyEvent(this, &TControl::ConstraintsChanged);
    WindowProc = TWndMethod(this, &TControl::WndProc);
    ControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    font_.OnChange = TNotifyEvent(this, &TControl::FontChanged);
    font_.Owner = this;
}

TControl::~TControl() {
    if (gMouseControl == this) gMouseControl = nullptr;
    if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
    if (gMouseControl == this) gMouseControl = nullptr;
    TComponent::BeforeDestruction();
}

intptr_t TControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc)
        WindowProc(m);
    else
        WndProc(m);
    return m.Result;
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
        case win::WM_RBUTTONDOWN:
        case win::WM_MBUTTONDOWN:
        case win::WM_LBUTTONDBLCLK:
        case win::WM_RBUTTONDBLCLK:
        case win::WM_MBUTTONDBLCLK: {
            const TMouseButton b =
                m.Msg == win::WM_LBUTTONDOWN || m.Msg == win::WM_LBUTTONDBLCLK   ? mbLeft
                : m.Msg == win::WM_RBUTTONDOWN || m.Msg == win::WM_RBUTTONDBLCLK ? mbRight
                                                                                 : mbMiddle;
            TShiftState s = KeysToShiftState(static_cast<uint32_t>(m.WParam));
            const bool dbl = m.Msg == win::WM_LBUTTONDBLCLK || m.Msg == win::WM_RBUTTONDBLCLK ||
                             m.Msg == win::WM_MBUTTONDBLCLK;
            if (dbl) {
                s << ssDouble;
                if (b == mbLeft) OnDblClick(this);
            }
            // Whatever the focused control has open (a drop-down list) closes.
            if (b == mbLeft) SendCancelMode(this);
            const TPoint p = PointFromLParam(m.LParam);
            MouseDown(b, s, p.X, p.Y);
            DefaultHandler(m);
            return;
        }
        case win::WM_LBUTTONUP:
        case win::WM_RBUTTONUP:
        case win::WM_MBUTTONUP: {
            const TMouseButton b = m.Msg == win::WM_LBUTTONUP   ? mbLeft
                                   : m.Msg == win::WM_RBUTTONUP ? mbRight
                                                                : mbMiddle;
            const TPoint p = PointFromLParam(m.LParam);
            if (b == mbLeft && ControlState.Contains(csClicked)) {
                ControlState >> csClicked;
                if (ClientRect().Contains(p)) Click();
            }
            MouseUp(b, KeysToShiftState(static_cast<uint32_t>(m.WParam)), p.X, p.Y);
            DefaultHandler(m);
            return;
        }
        case win::WM_MOUSEMOVE: {
            const TPoint p = PointFromLParam(m.LParam);
            MouseMove(KeysToShiftState(static_cast<uint32_t>(m.WParam)), p.X, p.Y);
            DefaultHandler(m);
            return;
        }
        case win::WM_SETTEXT:
            text_ = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
            DefaultHandler(m);
            if (!m.Result) m.Result = 1;
            return;
        case CM_FONTCHANGED:
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            Invalidate();
            DefaultHandler(m);
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return;
        case CM_VISIBLECHANGED:
            InvalidateControl(true, false);
            DefaultHandler(m);
            return;
        case win::WM_MOUSEWHEEL: {
            if (gWheelPassedOn) {
                DefaultHandler(m);
                return;
            }
            // CM_MOUSEWHEEL carries the shift state in the low byte of WParam and the delta in
            // its high word, and the screen position.
            const uint32_t keys = static_cast<uint32_t>(m.WParam & 0xFFFF);
            TMessage cm{CM_MOUSEWHEEL,
                        static_cast<uintptr_t>(KeysToShiftState(keys).Bits() & 0xFF) |
                            (m.WParam & 0xFFFF0000u),
                        m.LParam, 0};
            MouseWheelHandler(cm);
            m.Result = cm.Result;
            if (m.Result == 0) {
                gWheelPassedOn = true;
                try {
                    DefaultHandler(m);
                } catch (...) {
                    gWheelPassedOn = false;
                    throw;
                }
                gWheelPassedOn = false;
            }
            return;
        }
        case CM_MOUSEWHEEL: {
            const TShiftState shift(m.WParam & 0xFF, 0);
            const int delta = static_cast<int16_t>(static_cast<uint16_t>(m.WParam >> 16));
            if (DoMouseWheel(shift, delta, PointFromLParam(m.LParam)))
                m.Result = 1;
            else
                m.Result = parent_ ? parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam) : 0;
            return;
        }
        case win::WM_CONTEXTMENU:
            if (popupMenu_ && popupMenu_->AutoPopup) {
                TPoint p = PointFromLParam(m.LParam);
                if (p.X == -1 && p.Y == -1) p = ClientToScreen({0, 0});  // from the keyboard
                popupMenu_->SetPopupComponent(this);
                popupMenu_->Popup(p.X, p.Y);
                m.Result = 1;
                return;
            }
            DefaultHandler(m);
            return;
        case CM_PARENTSHOWHINTCHANGED:
            if (parentShowHint_ && parent_ && showHint_ != parent_->ShowHint()) {
                showHint_ = parent_->ShowHint();
                Perform(CM_SHOWHINTCHANGED);
            }
            return;
        case CM_HITTEST:
            m.Result = win::HTCLIENT;
            return;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
        default:
            DefaultHandler(m);
            return;
    }
}

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
        case win::WM_GETTEXT: {
            if (m.WParam == 0 || !m.LParam) {
                m.Result = 0;
                return;
            }
            const std::size_t n = std::min<std::size_t>(text_.size(), m.WParam - 1);
            std::memcpy(reinterpret_cast<char*>(m.LParam), text_.data(), n);
            reinterpret_cast<char*>(m.LParam)[n] = 0;
            m.Result = static_cast<intptr_t>(n);
            return;
        }
        case win::WM_GETTEXTLENGTH:
            m.Result = static_cast<intptr_t>(text_.size());
            return;
        default:
            m.Result = 0;
            return;
    }
}

void TControl::Click() {
    OnClick(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        // A control placed on a parent takes its font, colour and hint switch when it follows
        // them.
        ParentFontChanged();
        ParentColorChanged();
        Perform(CM_PARENTSHOWHINTCHANGED);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    constraints_.Constrain(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    InvalidateControl(visible_, ControlStyle.Contains(csOpaque));
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    UpdateAnchorRules();
    Invalidate();
    RequestAlign();
    if (resized) Resize();
    // A graphic control has no window to tell it; it hears what a window would.
    win::WINDOWPOS pos;
    pos.x = left;
    pos.y = top;
    pos.cx = width;
    pos.cy = height;
    pos.flags = win::SWP_NOZORDER | win::SWP_NOACTIVATE;
    Perform(win::WM_WINDOWPOSCHANGED, 0, reinterpret_cast<intptr_t>(&pos));
}

void TControl::SetClientSize(int width, int height) {
    const TRect c = ClientRect();
    SetBounds(left_, top_, width_ + width - c.Width(), height_ + height - c.Height());
}

TPoint TControl::ClientOrigin() const {
    if (!parent_) return {left_, top_};
    const TPoint p = parent_->ClientOrigin();
    return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    VisibleChanging();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
    RequestAlign();
}

bool TControl::Showing() const {
    return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool on) {
    if (on == parentColor_) return;
    parentColor_ = on;
    ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (parentColor_ && parent_ && color_ != parent_->Color()) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentFont(bool on) {
    if (on == parentFont_) return;
    parentFont_ = on;
    ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (parentFont_ && parent_ && !font_.SameAs(*parent_->Font())) {
        font_.Assign(parent_->Font());
        parentFont_ = true;  // FontChanged cleared it
    }
}

void TControl::FontChanged(TObject*) {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

std::string TControl::GetText() const {
    return text_;
}

void TControl::SetText(const std::string& text) {
    if (text == GetText()) return;
    Perform(win::WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool on) {
    parentShowHint_ = false;
    if (on == showHint_) return;
    showHint_ = on;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool on) {
    if (on == parentShowHint_) return;
    parentShowHint_ = on;
    if (on) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_ == menu) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
}

void TControl::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void TControl::Notification(TComponent* c, TOperation op) {
    TComponent::Notification(c, op);
    if (op == opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    ParentFontChanged();
    ParentColorChanged();
    RequestAlign();
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
    const win::RECT r = BoundsRect();
    win::InvalidateRect(parent_->Handle(), &r, !isOpaque);
}

void TControl::Invalidate() {
    InvalidateControl(visible_, ControlStyle.Contains(csOpaque));
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& v = parent_->controls_;
    auto it = std::find(v.begin(), v.end(), this);
    if (it != v.end()) {
        v.erase(it);
        v.push_back(this);
        Invalidate();
    }
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& v = parent_->controls_;
    auto it = std::find(v.begin(), v.end(), this);
    if (it != v.end()) {
        v.erase(it);
        v.insert(v.begin(), this);
        Invalidate();
    }
}

}  // namespace vcl
