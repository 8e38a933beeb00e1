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
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/controls/forms.h"
#include "vcl/system/list.h"
#include "vcl/controls/menus.h"
#include "vcl/system/window_exceptions.h"

namespace vcl {

namespace {

std::unordered_map<win::HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<win::HWND, TWinControl*> map;
    return map;
}

// The control whose window is being made: its first messages arrive before CreateWindowEx
// returns the handle.
thread_local TWinControl* gCreating = nullptr;

// The window procedures of the classes the library's window classes copy, by class name.
std::map<std::string, win::WNDPROC>& BaseProcs() {
    static std::map<std::string, win::WNDPROC> m;
    return m;
}

// The control the mouse was last over, for CM_MOUSEENTER and CM_MOUSELEAVE.
TControl* gMouseControl = nullptr;

// The button and move messages, with client coordinates; the wheel (screen coordinates, sent
// to the focused window) goes its own way.
bool IsMouseMsg(uint32_t m) {
    return m >= win::WM_MOUSEFIRST && m < win::WM_MOUSEWHEEL;
}

// Set while a wheel message goes to the window class's own procedure, which passes it on to
// the parent window: the class library's chain has already been offered it.
thread_local bool gWheelPassedOn = false;

TControl* TopParent(TControl* c) {
    while (c->Parent())
        c = c->Parent();
    return c;
}

TCursor ScreenCursor() {
    return Screen()->Cursor();
}

TPoint PointFromLParam(intptr_t lp) {
    return {static_cast<int16_t>(lp & 0xFFFF), static_cast<int16_t>((lp >> 16) & 0xFFFF)};
}

intptr_t LParamFromPoint(TPoint p) {
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(p.Y)) << 16) |
                                 static_cast<uint16_t>(p.X));
}

}  // namespace

TShiftState KeysToShiftState(uint32_t keys) {
    TShiftState s;
    if (keys & win::MK_SHIFT) s << ssShift;
    if (keys & win::MK_CONTROL) s << ssCtrl;
    if (keys & win::MK_LBUTTON) s << ssLeft;
    if (keys & win::MK_RBUTTON) s << ssRight;
    if (keys & win::MK_MBUTTON) s << ssMiddle;
    if (win::GetKeyState(win::VK_MENU) < 0) s << ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(intptr_t keyData) {
    TShiftState s;
    if (win::GetKeyState(win::VK_SHIFT) < 0) s << ssShift;
    if (win::GetKeyState(win::VK_CONTROL) < 0) s << ssCtrl;
    if (keyData & 0x20000000) s << ssAlt;
    return s;
}

TWinControl* FindControl(win::HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = ControlMap().find(hwnd);
    return it == ControlMap().end() ? nullptr : it->second;
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    win::HWND h = win::WindowFromPoint(screenPos);
    TWinControl* w = nullptr;
    while (h && !(w = FindControl(h)))
        h = win::GetParent(h);
    if (!w) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(screenPos), allowDisabled);
    return c ? c : w;
}

// --- TControl ---

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

TControl::TControl(TComponent* owner) : TComponent(owner) {
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

void TControl::WndProc(TMessage& m) {
    if (IsMouseMsg(m.Msg)) HandleMouse(m);
    Dispatch(m);
}

// Button state and capture for the mouse messages every control receives.
void TControl::HandleMouse(TMessage& m) {
    switch (m.Msg) {
        case win::WM_LBUTTONDOWN:
        case win::WM_LBUTTONDBLCLK:
            if (ControlStyle.Contains(csCaptureMouse)) ControlState << csLButtonDown;
            if (ControlStyle.Contains(csClickEvents)) ControlState << csClicked;
            break;
        case win::WM_LBUTTONUP:
            ControlState >> csLButtonDown;
            break;
        default:
            break;
    }
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

void TControl::MouseWheelHandler(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this)
        form->MouseWheelHandler(m);
    else
        m.Result = Perform(m.Msg, m.WParam, m.LParam);
}

bool TControl::DoMouseWheel(TShiftState shift, int delta, TPoint pos) {
    bool handled = false;
    OnMouseWheel(this, shift, delta, pos, handled);
    return handled;
}

void TControl::SendCancelMode(TControl* sender) {
    for (TControl* c = this; c; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(sender);
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

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    OnMouseDown(this, b, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    OnMouseUp(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
    OnMouseMove(this, s, x, y);
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
}

void TControl::UpdateAnchorRules() {
    if (!parent_) return;
    const TRect pc = parent_->ClientRect();
    anchorParentW_ = pc.Width();
    anchorParentH_ = pc.Height();
    anchorRight_ = pc.Width() - (left_ + width_);
    anchorBottom_ = pc.Height() - (top_ + height_);
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

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
    anchors_ = anchors;
    UpdateAnchorRules();
}

void TControl::RequestAlign() {
    if (parent_) parent_->Realign();
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

// --- TWinControl ---

std::vector<TPropInfo> TWinControl::Published() {
    return {Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder),
            Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)};
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
    // Leaves the parent while this part of the object still exists, so the parent files it
    // under its windowed children.
    if (Parent()) Parent()->RemoveControl(this);
    // Children that nobody owns go with their parent; owned ones were freed by their owner.
    while (!controls_.empty())
        controls_.back()->Free();
    while (!winControls_.empty())
        winControls_.back()->Free();
    if (handle_) DestroyWindowHandle();
}

void TWinControl::BeforeDestruction() {
    TControl::BeforeDestruction();
    while (!controls_.empty())
        controls_.back()->Free();
    while (!winControls_.empty())
        winControls_.back()->Free();
    if (handle_) DestroyWnd();
}

win::LRESULT TWinControl::StaticWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam,
                                        win::LPARAM lParam) {
    TWinControl* c = FindControl(hwnd);
    if (!c && gCreating) {
        c = gCreating;
        gCreating = nullptr;
        c->handle_ = hwnd;
        ControlMap()[hwnd] = c;
    }
    if (!c) return win::DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        if (c->WindowProc)
            c->WindowProc(m);
        else
            c->WndProc(m);
    } catch (...) {
        HandleWindowException(std::current_exception());
    }
    if (msg == win::WM_NCDESTROY) {
        ControlMap().erase(hwnd);
        if (TWinControl* still = c; still->handle_ == hwnd) still->handle_ = nullptr;
    }
    return m.Result;
}

win::HWND TWinControl::Handle() {
    if (!handle_) CreateHandle();
    if (!handle_) throw EOutOfResources(Format("Error creating window of %s", ClassName()));
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = win::WS_CHILD | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    if (!Enabled()) p.Style |= win::WS_DISABLED;
    if (Showing() || (Visible() && Parent() && Parent()->HandleAllocated()))
        p.Style |= win::WS_VISIBLE;
    if (tabStop_) p.Style |= win::WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = Parent() ? Parent()->Handle() : nullptr;
    p.WinClassName = ClassName();
    p.ClassStyle = win::CS_DBLCLKS;
}

void TWinControl::CreateSubClass(TCreateParams& p, const std::string& base) {
    p.WinClassBase = base;
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    if (!p.WndParent && (p.Style & win::WS_CHILD))
        throw EInvalidOperation(Format("Control '%s' has no parent window", Name()));
    win::WNDCLASSA wc;
    if (!win::GetClassInfoA(nullptr, p.WinClassName.c_str(), &wc)) {
        win::WNDPROC base = win::DefWindowProcA;
        win::WNDCLASSA nc;
        if (!p.WinClassBase.empty()) {
            if (!win::GetClassInfoA(nullptr, p.WinClassBase.c_str(), &nc))
                throw EOutOfResources(Format("Window class %s is not registered", p.WinClassBase));
            base = nc.lpfnWndProc;
        } else {
            nc.style = p.ClassStyle;
            nc.hCursor = win::LoadCursorA(nullptr, win::IDC_ARROW);
        }
        nc.lpfnWndProc = StaticWndProc;
        nc.lpszClassName = p.WinClassName.c_str();
        nc.lpszMenuName = nullptr;
        if (!win::RegisterClassA(&nc))
            throw EOutOfResources(Format("Cannot register window class %s", p.WinClassName));
        BaseProcs()[p.WinClassName] = base;
    } else if (wc.lpfnWndProc != StaticWndProc) {
        throw EOutOfResources(Format("Window class %s belongs to another layer", p.WinClassName));
    }
    DefWndProc = BaseProcs()[p.WinClassName];
    CreateWindowHandle(p);
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    gCreating = this;
    win::HWND h =
        win::CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X,
                             p.Y, p.Width, p.Height, p.WndParent, nullptr, nullptr, nullptr);
    gCreating = nullptr;
    if (!h) throw EOutOfResources(Format("Error creating window of %s", ClassName()));
    handle_ = h;
    ControlMap()[h] = this;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    // The parent's window first: making it makes the windows of its shown children, this
    // one among them, which must not get a second window below.
    if (Parent()) Parent()->HandleNeeded();
    if (handle_) return;
    ControlState << csCreating;
    try {
        CreateWnd();
    } catch (...) {
        ControlState >> csCreating;
        throw;
    }
    ControlState >> csCreating;
    win::SendMessageA(handle_, win::WM_SETFONT, reinterpret_cast<win::WPARAM>(Font()->Handle()), 0);
    // Children that are shown get their windows now, in tab order.
    for (TWinControl* c : winControls_)
        if (c->Visible() && !c->HandleAllocated()) c->HandleNeeded();
    showing_ = win::IsWindowVisible(handle_);
    Realign();
}

void TWinControl::DestroyHandle() {
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    text_ = GetText();
    ControlState << csDestroyingHandle;
    for (TWinControl* c : winControls_)
        if (c->HandleAllocated()) c->DestroyWnd();
    DestroyWindowHandle();
    ControlState >> csDestroyingHandle;
}

void TWinControl::DestroyWindowHandle() {
    win::HWND h = handle_;
    if (!h) return;
    TControlCanvas::FreeHandlesOf(h);
    win::DestroyWindow(h);
    ControlMap().erase(h);
    handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    const bool wasFocused = Focused();
    const bool wasShown = win::IsWindowVisible(handle_) != 0;
    const bool wasActive = !Parent() && win::GetActiveWindow() == handle_;
    DestroyWnd();
    HandleNeeded();
    // A top-level window is not made visible by its styles: show it again as it was.
    if (wasShown && !win::IsWindowVisible(handle_))
        win::ShowWindow(handle_, wasActive ? win::SW_SHOW : win::SW_SHOWNA);
    if (wasFocused && CanFocus()) SetFocus();
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (handle_) {
        m.Result = win::CallWindowProcA(DefWndProc ? DefWndProc : win::DefWindowProcA, handle_,
                                        m.Msg, m.WParam, m.LParam);
        return;
    }
    TControl::DefaultHandler(m);
}

TControl* TWinControl::Controls(int index) const {
    const int graphic = static_cast<int>(controls_.size());
    if (index >= 0 && index < graphic) return controls_[index];
    if (index >= graphic && index < ControlCount()) return winControls_[index - graphic];
    ListIndexError(index);
}

void TWinControl::InsertControl(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        winControls_.push_back(w);
        tabList_.push_back(w);
    } else {
        controls_.push_back(c);
    }
    c->parent_ = this;
    c->UpdateAnchorRules();
    if (auto* w = dynamic_cast<TWinControl*>(c); w && handle_ && w->Visible()) w->HandleNeeded();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<uintptr_t>(c), 1);
    c->Invalidate();
    Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    if (captureControl_ == c) captureControl_ = nullptr;
    if (c->parent_ != this) return;
    c->Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->HandleAllocated()) w->DestroyWnd();
        winControls_.erase(std::remove(winControls_.begin(), winControls_.end(), w),
                           winControls_.end());
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    } else {
        controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    }
    c->parent_ = nullptr;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<uintptr_t>(c), 0);
    Realign();
}

bool TWinControl::ContainsControl(const TControl* c) const {
    for (; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) {
    // A control may be see-through at places: it answers CM_HITTEST with 0 there.
    auto hit = [&](TControl* c) {
        return c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p) &&
               c->Perform(CM_HITTEST, 0, LParamFromPoint({p.X - c->Left(), p.Y - c->Top()})) != 0;
    };
    if (allowWinControls)
        for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
            if (hit(*it)) return *it;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (hit(*it)) return *it;
    return nullptr;
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    auto& l = Parent()->tabList_;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& l = Parent()->tabList_;
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end()) return;
    l.erase(it);
    order = std::clamp(order, 0, static_cast<int>(l.size()));
    l.insert(l.begin() + order, this);
}

void TWinControl::SetTabStop(bool on) {
    if (on == tabStop_) return;
    tabStop_ = on;
    if (handle_) {
        auto style = static_cast<uint32_t>(win::GetWindowLongPtrA(handle_, win::GWL_STYLE));
        style = on ? style | win::WS_TABSTOP : style & ~win::WS_TABSTOP;
        win::SetWindowLongPtrA(handle_, win::GWL_STYLE, style);
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
    if (start == n) start = goForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) &&
            c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false))
        next->SetFocus();
}

bool TWinControl::CanFocus() {
    for (TWinControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() {
    return handle_ && win::GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    win::SetFocus(Handle());
}

void TWinControl::SetFocusedControl(TWinControl* control) {
    if (Parent()) Parent()->SetFocusedControl(control);
}

TRect TWinControl::ClientRect() const {
    if (handle_) {
        win::RECT r;
        win::GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
    if (!handle_) return TControl::ClientOrigin();
    win::POINT p{0, 0};
    win::ClientToScreen(handle_, &p);
    return p;
}

bool TWinControl::Showing() const {
    if (handle_) return win::IsWindowVisible(handle_) != 0;
    return false;
}

void TWinControl::Invalidate() {
    if (handle_) win::InvalidateRect(handle_, nullptr, !ControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (handle_) win::UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    if (!handle_) return;
    win::RedrawWindow(
        handle_, nullptr, nullptr,
        win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
}

void TWinControl::BringToFront() {
    if (Parent()) {
        auto& v = Parent()->winControls_;
        auto it = std::find(v.begin(), v.end(), this);
        if (it != v.end()) {
            v.erase(it);
            v.push_back(this);
        }
    }
    if (handle_)
        win::SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    const bool resized = width != Width() || height != Height();
    if (handle_) {
        // The window is moved first; WM_WINDOWPOSCHANGED brings the fields in line.
        win::SetWindowPos(handle_, nullptr, left, top, width, height,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    UpdateAnchorRules();
    RequestAlign();
    if (resized) {
        Realign();
        Resize();
    }
}

// The bounds of the window as the windowing layer has them, after the user moved or sized it.
void TWinControl::UpdateBounds() {
    if (!handle_) return;
    win::RECT r;
    win::GetWindowRect(handle_, &r);
    win::HWND parent = win::GetParent(handle_);
    if (parent && (win::GetWindowLongPtrA(handle_, win::GWL_STYLE) & win::WS_CHILD)) {
        win::POINT tl{r.left, r.top};
        win::ScreenToClient(parent, &tl);
        r = {tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
    }
    const bool resized = r.right - r.left != Width() || r.bottom - r.top != Height();
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    TControl::SetEnabled(enabled);
    if (handle_) win::EnableWindow(handle_, enabled);
}

std::string TWinControl::GetText() const {
    if (!handle_) return text_;
    const int n = win::GetWindowTextLengthA(handle_);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    const int got = win::GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(std::max(got, 0)));
    return s;
}

void TWinControl::SetText(const std::string& text) {
    TControl::SetText(text);
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0 || aligning_) return;
    DoAlignChildren();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::DoAlignChildren() {
    aligning_ = true;
    TRect r = ClientRect();
    try {
        AlignControls(nullptr, r);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
    std::vector<TControl*> all(controls_.begin(), controls_.end());
    all.insert(all.end(), winControls_.begin(), winControls_.end());
    const TRect client = rect;

    // Anchored controls follow the parent's size change since the last placement.
    for (TControl* c : all) {
        if (c->Align() != alNone || c->anchorParentW_ < 0) continue;
        const int dw = client.Width() - c->anchorParentW_;
        const int dh = client.Height() - c->anchorParentH_;
        if (dw == 0 && dh == 0) continue;
        int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
        const TAnchors a = c->Anchors();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w += dw;
            else
                l += dw;
        } else if (!a.Contains(akLeft)) {
            l += dw / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h += dh;
            else
                t += dh;
        } else if (!a.Contains(akTop)) {
            t += dh / 2;
        }
        c->SetBounds(l, t, w, h);
        c->anchorParentW_ = client.Width();
        c->anchorParentH_ = client.Height();
    }

    // Aligned controls take the edges in the order top, bottom, left, right, then the rest;
    // among equals the one nearer the edge goes first.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : all)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
                case alTop:
                    return x->Top() < y->Top();
                case alBottom:
                    return x->Top() + x->Height() > y->Top() + y->Height();
                case alLeft:
                    return x->Left() < y->Left();
                case alRight:
                    return x->Left() + x->Width() > y->Left() + y->Width();
                default:
                    return false;
            }
        });
        for (TControl* c : list) {
            int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            switch (a) {
                case alTop:
                    l = rect.Left, t = rect.Top, w = rect.Width();
                    rect.Top += h;
                    break;
                case alBottom:
                    l = rect.Left, t = rect.Bottom - h, w = rect.Width();
                    rect.Bottom -= h;
                    break;
                case alLeft:
                    l = rect.Left, t = rect.Top, h = rect.Height();
                    rect.Left += w;
                    break;
                case alRight:
                    l = rect.Right - w, t = rect.Top, h = rect.Height();
                    rect.Right -= w;
                    break;
                default:
                    l = rect.Left, t = rect.Top, w = rect.Width(), h = rect.Height();
                    break;
            }
            c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
        }
    }
    lastClientW_ = client.Width();
    lastClientH_ = client.Height();
}

void TWinControl::NotifyControls(uint32_t msg) {
    for (TControl* c : controls_)
        c->Perform(msg);
    for (TWinControl* c : winControls_)
        c->Perform(msg);
}

void TWinControl::PaintWindow(win::HDC dc) {
    TMessage m{win::WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(win::HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : controls_) {
        if (!started) {
            started = c == first;
            if (!started) continue;
        }
        if (!c->Visible() || c->Width() <= 0 || c->Height() <= 0) continue;
        const win::RECT r = c->BoundsRect();
        if (!win::RectVisible(dc, &r)) continue;
        const int saved = win::SaveDC(dc);
        win::OffsetWindowOrgEx(dc, -c->Left(), -c->Top(), nullptr);
        win::IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
        win::RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& m) {
    win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
    win::PAINTSTRUCT ps;
    if (!dc) dc = win::BeginPaint(handle_, &ps);
    const int saved = win::SaveDC(dc);
    // The window's own face is painted around the graphic children that cover it.
    for (TControl* c : controls_)
        if (c->Visible() && c->ControlStyle.Contains(csOpaque))
            win::ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(),
                                 c->Top() + c->Height());
    PaintWindow(dc);
    win::RestoreDC(dc, saved);
    PaintControls(dc, nullptr);
    if (!m.WParam) win::EndPaint(handle_, &ps);
}

void TWinControl::PaintTo(win::HDC dc, int x, int y) {
    HandleNeeded();
    const int saved = win::SaveDC(dc);
    win::SetWindowOrgEx(dc, -x, -y, nullptr);
    win::IntersectClipRect(dc, 0, 0, Width(), Height());
    win::SendMessageA(handle_, win::WM_ERASEBKGND, reinterpret_cast<win::WPARAM>(dc), 0);
    win::SendMessageA(handle_, win::WM_PAINT, reinterpret_cast<win::WPARAM>(dc), 0);
    for (TWinControl* c : winControls_)
        if (c->Visible()) c->PaintTo(dc, c->Left(), c->Top());
    win::RestoreDC(dc, saved);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* c = captureControl_;
    const TPoint p = PointFromLParam(m.LParam);
    if (!c || win::GetCapture() != handle_) {
        captureControl_ = nullptr;
        c = ControlAtPos(p, false);
    }
    if (!c) return false;
    const TPoint local{p.X - c->Left(), p.Y - c->Top()};
    if (m.Msg == win::WM_LBUTTONDOWN && c->ControlStyle.Contains(csCaptureMouse)) {
        captureControl_ = c;
        win::SetCapture(handle_);
    }
    m.Result = c->Perform(m.Msg, m.WParam, LParamFromPoint(local));
    if (m.Msg == win::WM_LBUTTONUP && captureControl_ == c) {
        captureControl_ = nullptr;
        if (win::GetCapture() == handle_) win::ReleaseCapture();
    }
    return true;
}

// The control under the mouse changed: the old one hears it left, the new one that it came.
static void TrackMouseControl(TControl* now) {
    if (now == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = now;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (now && gMouseControl == now) now->Perform(CM_MOUSEENTER);
}

void TWinControl::WndProc(TMessage& m) {
    if (IsMouseMsg(m.Msg)) {
        if (m.Msg == win::WM_MOUSEMOVE || m.Msg == win::WM_LBUTTONDOWN) {
            const TPoint p = PointFromLParam(m.LParam);
            TControl* over = captureControl_ ? captureControl_ : ControlAtPos(p, true);
            TrackMouseControl(over ? over : this);
            if (m.Msg == win::WM_MOUSEMOVE && handle_) {
                win::TRACKMOUSEEVENT t;
                t.dwFlags = win::TME_LEAVE;
                t.hwndTrack = handle_;
                win::TrackMouseEvent(&t);
            }
        }
        if (IsControlMouseMsg(m)) {
            // What the graphic control left alone gets the default handling of this window
            // (a right button's release becomes WM_CONTEXTMENU).
            if (m.Result == 0 && handle_)
                m.Result = win::DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
            return;
        }
        if (m.Msg == win::WM_LBUTTONDOWN && handle_ && ControlStyle.Contains(csCaptureMouse))
            win::SetCapture(handle_);
        TControl::WndProc(m);
        if (m.Msg == win::WM_LBUTTONUP && handle_ && win::GetCapture() == handle_)
            win::ReleaseCapture();
        return;
    } else if (m.Msg == win::WM_MOUSELEAVE) {
        if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this))
            TrackMouseControl(nullptr);
    }
    TControl::WndProc(m);
}

namespace {

TWinControl* PreviewingParent(TWinControl* c) {
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (p->WantsKeyPreview()) return p;
    return nullptr;
}

}  // namespace

bool TWinControl::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyDown(key, shift)) return true;
    OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyUp(uint16_t& key, TShiftState shift) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyUp(key, shift)) return true;
    OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    if (TWinControl* p = PreviewingParent(this); p && p->DoKeyPress(key)) return true;
    OnKeyPress(this, key);
    return key == 0;
}

TWinControl* TWinControl::ReflectTarget(const TMessage& m) {
    win::HWND child = nullptr;
    switch (m.Msg) {
        case win::WM_NOTIFY:
            if (m.LParam) child = reinterpret_cast<const win::NMHDR*>(m.LParam)->hwndFrom;
            break;
        case win::WM_DRAWITEM:
            if (m.LParam && m.WParam)  // 0: a menu item
                child = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
            break;
        case win::WM_MEASUREITEM:
            if (m.WParam) child = win::GetDlgItem(handle_, static_cast<int>(m.WParam));
            break;
        default:
            child = reinterpret_cast<win::HWND>(m.LParam);
            break;
    }
    TWinControl* c = FindControl(child);
    return c && c != this ? c : nullptr;
}

bool TWinControl::HandleKey(TMessage& m) {
    switch (m.Msg) {
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyDown(key, KeyDataToShiftState(m.LParam))) return true;
            m.WParam = key;
            return false;
        }
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP: {
            auto key = static_cast<uint16_t>(m.WParam);
            if (DoKeyUp(key, KeyDataToShiftState(m.LParam))) return true;
            m.WParam = key;
            return false;
        }
        case win::WM_CHAR: {
            char c = static_cast<char>(m.WParam);
            if (DoKeyPress(c)) return true;
            m.WParam = static_cast<unsigned char>(c);
            return false;
        }
        default:
            return false;
    }
}

void TWinControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case win::WM_PAINT:
            PaintHandler(m);
            return;
        case win::WM_ERASEBKGND: {
            win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
            const win::RECT r = ClientRect();
            brush_.SetColor(Color());
            win::FillRect(dc, &r, brush_.Handle());
            m.Result = 1;
            return;
        }
        case win::WM_WINDOWPOSCHANGED:
            DefaultHandler(m);
            UpdateBounds();
            return;
        case win::WM_SETFOCUS:
            SetFocusedControl(this);
            DefaultHandler(m);
            return;
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN:
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP:
        case win::WM_CHAR:
            if (HandleKey(m)) return;
            DefaultHandler(m);
            return;
        case CN_KEYDOWN: {
            // Tab, Enter, Escape and the arrows are dialog keys unless the control wants them.
            const auto key = static_cast<uint32_t>(m.WParam);
            intptr_t mask = 0;
            switch (key) {
                case win::VK_TAB:
                    mask = win::DLGC_WANTTAB;
                    break;
                case win::VK_LEFT:
                case win::VK_RIGHT:
                case win::VK_UP:
                case win::VK_DOWN:
                    mask = win::DLGC_WANTARROWS;
                    break;
                case win::VK_RETURN:
                case win::VK_ESCAPE:
                case win::VK_CANCEL:
                    mask = win::DLGC_WANTALLKEYS;
                    break;
                default:
                    break;
            }
            m.Result = 0;
            if (mask && Perform(CM_WANTSPECIALKEY, key, 0) == 0 &&
                (Perform(win::WM_GETDLGCODE, 0, 0) & mask) == 0 &&
                TopParent(this)->Perform(CM_DIALOGKEY, key, m.LParam) != 0)
                m.Result = 1;
            return;
        }
        case CN_CHAR:
            // A character the control does not take is offered to the form: a "&" mnemonic.
            m.Result = 0;
            if ((Perform(win::WM_GETDLGCODE, 0, 0) & win::DLGC_WANTCHARS) == 0)
                if (TControl* top = TopParent(this);
                    top->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
                    m.Result = 1;
            return;
        case CN_SYSCHAR:
            // Alt with a letter is always a mnemonic.
            m.Result = 0;
            if (m.WParam != ' ')
                m.Result = TopParent(this)->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
            return;
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            // Offered to every child until one takes it.
            for (TControl* c : controls_)
                if ((m.Result = c->Perform(m.Msg, m.WParam, m.LParam)) != 0) return;
            for (TWinControl* c : winControls_)
                if ((m.Result = c->Perform(m.Msg, m.WParam, m.LParam)) != 0) return;
            return;
        case CM_ENTER:
            DoEnter();
            return;
        case CM_EXIT:
            DoExit();
            return;
        case CM_COLORCHANGED:
            brush_.SetColor(Color());
            NotifyControls(CM_PARENTCOLORCHANGED);
            Invalidate();
            return;
        case CM_FONTCHANGED:
            if (handle_)
                win::SendMessageA(handle_, win::WM_SETFONT,
                                  reinterpret_cast<win::WPARAM>(Font()->Handle()), 0);
            NotifyControls(CM_PARENTFONTCHANGED);
            Invalidate();
            return;
        case CM_ENABLEDCHANGED:
            if (handle_) win::EnableWindow(handle_, Enabled());
            Invalidate();
            return;
        case CM_VISIBLECHANGED:
            if (!handle_ && Visible() && Parent() && Parent()->HandleAllocated()) {
                HandleNeeded();
            } else if (handle_) {
                win::ShowWindow(handle_, Visible() ? win::SW_SHOWNA : win::SW_HIDE);
                Perform(CM_SHOWINGCHANGED);
            }
            return;
        case CM_RECREATEWND:
            RecreateWnd();
            return;
        case win::WM_COMMAND:
        case win::WM_NOTIFY:
        case win::WM_HSCROLL:
        case win::WM_VSCROLL:
        case win::WM_DRAWITEM:
        case win::WM_MEASUREITEM:
        case win::WM_CTLCOLORMSGBOX:
        case win::WM_CTLCOLOREDIT:
        case win::WM_CTLCOLORLISTBOX:
        case win::WM_CTLCOLORBTN:
        case win::WM_CTLCOLORDLG:
        case win::WM_CTLCOLORSCROLLBAR:
        case win::WM_CTLCOLORSTATIC:
            // Notifications from a child window go back to the control that child belongs to,
            // as the matching CN_ message.
            if (TWinControl* child = ReflectTarget(m)) {
                m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
            DefaultHandler(m);
            return;
        case CN_CTLCOLORMSGBOX:
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORDLG:
        case CN_CTLCOLORSCROLLBAR:
        case CN_CTLCOLORSTATIC: {
            win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
            win::SetTextColor(dc, ColorToRGB(Font()->Color()));
            win::SetBkColor(dc, ColorToRGB(Color()));
            brush_.SetColor(Color());
            m.Result = reinterpret_cast<intptr_t>(brush_.Handle());
            return;
        }
        case win::WM_CONTEXTMENU: {
            // A graphic child under the mouse shows its own menu first.
            const TPoint p = PointFromLParam(m.LParam);
            if (!(p.X == -1 && p.Y == -1)) {
                TControl* c = ControlAtPos(ScreenToClient(p), false);
                if (c && (m.Result = c->Perform(m.Msg, m.WParam, m.LParam)) != 0) return;
            }
            TControl::Dispatch(m);
            return;
        }
        case CM_SHOWHINTCHANGED:
            NotifyControls(CM_PARENTSHOWHINTCHANGED);
            return;
        case win::WM_SETCURSOR:
            if (reinterpret_cast<win::HWND>(m.WParam) == handle_ &&
                static_cast<int16_t>(m.LParam & 0xFFFF) == win::HTCLIENT) {
                TCursor cursor = ScreenCursor();
                if (cursor == crDefault) {
                    win::POINT p;
                    win::GetCursorPos(&p);
                    TControl* c = ControlAtPos(ScreenToClient(p), false);
                    if (c) cursor = c->Cursor();
                    if (cursor == crDefault) cursor = Cursor();
                }
                if (cursor != crDefault) {
                    win::SetCursor(Screen()->Cursors(cursor));
                    m.Result = 1;
                    return;
                }
            }
            DefaultHandler(m);
            return;
        default:
            TControl::Dispatch(m);
            return;
    }
}

// --- TCustomControl, TGraphicControl, TControlCanvas ---

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(new TControlCanvas(this)) {}

TCustomControl::~TCustomControl() {
    delete canvas_;
}

void TCustomControl::PaintWindow(win::HDC dc) {
    canvas_->Lock();
    static_cast<TControlCanvas*>(canvas_)->UsePaintDC(dc);
    try {
        Paint();
    } catch (...) {
        static_cast<TControlCanvas*>(canvas_)->UsePaintDC(nullptr);
        canvas_->Unlock();
        throw;
    }
    static_cast<TControlCanvas*>(canvas_)->UsePaintDC(nullptr);
    canvas_->Unlock();
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(new TControlCanvas(this)) {}

TGraphicControl::~TGraphicControl() {
    delete canvas_;
}

void TGraphicControl::Dispatch(TMessage& m) {
    if (m.Msg == win::WM_PAINT && m.WParam) {
        auto* c = static_cast<TControlCanvas*>(canvas_);
        c->Lock();
        c->UsePaintDC(reinterpret_cast<win::HDC>(m.WParam));
        try {
            Paint();
        } catch (...) {
            c->UsePaintDC(nullptr);
            c->Unlock();
            throw;
        }
        c->UsePaintDC(nullptr);
        c->Unlock();
        return;
    }
    TControl::Dispatch(m);
}

void TControlCanvas::UsePaintDC(win::HDC dc) {
    FreeHandle();
    if (dc) SetHandle(dc);
}

namespace {

// The canvases that hold a DC of a window, so that the DC goes back before the window goes.
std::vector<TControlCanvas*>& CanvasesWithDC() {
    static std::vector<TControlCanvas*> v;
    return v;
}

}  // namespace

void TControlCanvas::FreeHandlesOf(win::HWND window) {
    std::vector<TControlCanvas*> holding;
    for (TControlCanvas* c : CanvasesWithDC())
        if (c->window_ == window) holding.push_back(c);
    for (TControlCanvas* c : holding)
        c->FreeHandle();
}

void TControlCanvas::FreeHandle() {
    SetHandle(nullptr);
    if (dc_ && own_) {
        win::ReleaseDC(window_, dc_);
        auto& v = CanvasesWithDC();
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    dc_ = nullptr;
    window_ = nullptr;
    own_ = false;
}

void TControlCanvas::CreateHandle() {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) {
        window_ = w->Handle();
        dc_ = win::GetDC(window_);
    } else if (control_->Parent()) {
        // A graphic control draws on its parent's window, moved and clipped to its bounds.
        window_ = control_->Parent()->Handle();
        dc_ = win::GetDC(window_);
        win::SetWindowOrgEx(dc_, -control_->Left(), -control_->Top(), nullptr);
        win::IntersectClipRect(dc_, 0, 0, control_->Width(), control_->Height());
    }
    own_ = dc_ != nullptr;
    if (own_) CanvasesWithDC().push_back(this);
    if (dc_) SetHandle(dc_);
}

}  // namespace vcl
