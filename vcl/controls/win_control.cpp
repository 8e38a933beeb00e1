// TWinControl: the window and its making, children, tab order, focus, bounds and painting.
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
    // A child gets an id of its own, by which WM_MEASUREITEM finds it.
    static int lastId = 0;
    win::HMENU id = nullptr;
    if (p.Style & win::WS_CHILD) {
        lastId = lastId >= 0xFFFF ? 0x100 : std::max(lastId + 1, 0x100);
        id = reinterpret_cast<win::HMENU>(static_cast<intptr_t>(lastId));
    }
    gCreating = this;
    win::HWND h =
        win::CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X,
                             p.Y, p.Width, p.Height, p.WndParent, id, nullptr, nullptr);
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

// Asked as a message, so a procedure put on the window (a skin's) can decide whether the window
// is made again; the class's own answer makes it.
void TWinControl::RecreateWnd() {
    if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::DoRecreateWnd() {
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
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(c), 1);
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
    if (!ComponentState().Contains(csDestroying))
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(c), 0);
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

// Asked as a message for the same reason as RecreateWnd.
void TWinControl::Invalidate() {
    Perform(CM_INVALIDATE);
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
    Constraints()->Constrain(width, height);
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
            // The fields first: the WM_SIZE and WM_MOVE the default handler sends are handled
            // with the new bounds in place.
            UpdateBounds();
            DefaultHandler(m);
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
        case CM_FOCUSCHANGED:
            // Every control of the form hears it: a push button takes the default frame, and
            // with it Enter, while it has the focus.
            for (TControl* c : controls_)
                c->Perform(m.Msg, m.WParam, m.LParam);
            for (TWinControl* c : winControls_)
                c->Perform(m.Msg, m.WParam, m.LParam);
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
        case CM_CONTROLLISTCHANGE:
            // Every container up to the form hears of a control put in or taken out anywhere
            // below it (a form's skin attaches to the controls it hears of).
            if (Parent() && !Parent()->ComponentState().Contains(csDestroying))
                m.Result = Parent()->Perform(m.Msg, m.WParam, m.LParam);
            return;
        case CM_RECREATEWND:
            DoRecreateWnd();
            return;
        case CM_INVALIDATE:
            if (handle_) win::InvalidateRect(handle_, nullptr, !ControlStyle.Contains(csOpaque));
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

}  // namespace vcl
