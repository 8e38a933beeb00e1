#include "tests/platform/controls/controls_fixture.h"

#include "platform/controls/list_box_control.h"

namespace win::testing {

namespace {

LRESULT ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (ControlsTest::ParentHook()) {
        bool handled = false;
        const LRESULT r = ControlsTest::ParentHook()(msg, wp, lp, handled);
        if (handled) return r;
    }
    if (msg == WM_COMMAND || msg == WM_PARENTNOTIFY || msg == WM_HSCROLL || msg == WM_VSCROLL)
        ControlsTest::Notes().push_back({msg, wp, lp});
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        ControlsTest::Notes().push_back(
            {msg, wp, lp, dis->itemState, dis->CtlType, 0, dis->itemID, dis->hwndItem});
        return TRUE;
    }
    if (msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        ControlsTest::Notes().push_back({msg, wp, lp, 0, mis->CtlType, 0, mis->itemID});
        return TRUE;
    }
    if (msg == WM_CTLCOLORLISTBOX) {
        Note n{msg, wp, lp};
        n.shown = IsWindowVisible(reinterpret_cast<HWND>(lp)) != 0;
        ControlsTest::Notes().push_back(n);
    }
    if ((msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORLISTBOX) &&
        ControlsTest::CtlColorBrush())
        return reinterpret_cast<LRESULT>(ControlsTest::CtlColorBrush());
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        ControlsTest::Notes().push_back({msg, wp, lp, 0, 0, nm->code});
        return ControlsTest::OnNotify() ? ControlsTest::OnNotify()(nm) : 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)>& ControlsTest::ParentHook() {
    static std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> hook;
    return hook;
}

std::vector<Note>& ControlsTest::Notes() {
    static std::vector<Note> n;
    return n;
}

std::function<LRESULT(NMHDR*)>& ControlsTest::OnNotify() {
    static std::function<LRESULT(NMHDR*)> f;
    return f;
}

Shot::Shot(HWND h, UINT msg) {
    RECT r;
    GetClientRect(h, &r);
    w_ = r.right;
    h_ = r.bottom;
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = w_;
    bmi.bmiHeader.biHeight = -h_;
    bmi.bmiHeader.biBitCount = 32;
    bmp_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr);
    old_ = SelectObject(dc_, bmp_);
    SendMessageA(h, msg, reinterpret_cast<WPARAM>(dc_), msg == WM_PRINTCLIENT ? PRF_CLIENT : 0);
}

Shot::~Shot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
}

Shot::Span Shot::Columns(COLORREF colour) const {
    int first = -1, last = -1;
    for (int x = 0; x < w_; ++x)
        for (int y = 0; y < h_; ++y)
            if (At(x, y) == colour) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

HBRUSH& ControlsTest::CtlColorBrush() {
    static HBRUSH b = nullptr;
    return b;
}

std::vector<Note> ControlsTest::NotesOf(UINT msg) const {
    std::vector<Note> out;
    for (const Note& n : Notes())
        if (n.msg == msg) out.push_back(n);
    return out;
}

void ControlsTest::SetUp() {
    ResetWindowing();
    Notes().clear();
    OnNotify() = nullptr;
    CtlColorBrush() = nullptr;
    ParentHook() = nullptr;
    RegisterStandardControls();
    WNDCLASSA wc;
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "ControlsTestParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(intptr_t(COLOR_BTNFACE + 1));
    ASSERT_NE(RegisterClassA(&wc), 0);
    parent_ = CreateWindowExA(0, "ControlsTestParent", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                              300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    Pump();
}

void ControlsTest::TearDown() {
    ResetWindowing();
    OnNotify() = nullptr;
    ParentHook() = nullptr;
}

HWND ControlsTest::Child(const char* cls, const char* text, DWORD style, int id, int x, int y,
                         int w, int h, DWORD exStyle) {
    HWND c = CreateWindowExA(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent_,
                             reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
    EXPECT_NE(c, nullptr);
    // Later controls below earlier ones, as windows made in order stand.
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    return c;
}

void ControlsTest::Pump() {
    MSG m;
    for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (m.message == WM_QUIT) break;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

POINT ControlsTest::Centre(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

COLORREF ControlsTest::Pixel(HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    BitmapView v;
    EXPECT_TRUE(GetBitmapView(ComposeScreen(), &v));
    const BYTE* px = v.Row(p.y) + p.x * 4;
    return RGB(px[2], px[1], px[0]);
}

std::vector<UINT> ControlsTest::NotifyCodes() const {
    std::vector<UINT> codes;
    for (const Note& n : Notes())
        if (n.msg == WM_NOTIFY) codes.push_back(n.code);
    return codes;
}

void ControlsTest::Click(HWND h) {
    const POINT p = Centre(h);
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
    Pump();
}

void ControlsTest::Press(HWND h) {
    const POINT p = Centre(h);
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
    Pump();
}

void ControlsTest::ReleaseAt(int x, int y) {
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{x, y}});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{x, y}, MouseButton::Left});
    Pump();
}

void ControlsTest::ClickAt(POINT p) {
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
    Pump();
}

void ControlsTest::Key(UINT vk, bool down, unsigned char ch) {
    QueueKeyEvent(KeyEvent{vk, down, ch});
    Pump();
}

void ControlsTest::Tap(UINT vk, unsigned char ch) {
    Key(vk, true, ch);
    Key(vk, false);
}

void ControlsTest::Chord(UINT modifier, UINT vk) {
    Key(modifier, true);
    Tap(vk);
    Key(modifier, false);
}

void ControlsTest::Type(const std::string& text) {
    for (char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        const UINT vk = c == ' '                 ? VK_SPACE
                        : c == '\r'              ? VK_RETURN
                        : (c >= 'a' && c <= 'z') ? ch - 32
                                                 : 'A';
        QueueKeyEvent(KeyEvent{vk, true, ch});
        QueueKeyEvent(KeyEvent{vk, false, 0});
    }
    Pump();
}

void ControlsTest::PressAt(POINT p) {
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
    Pump();
}

void ControlsTest::MoveTo(POINT p) {
    QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
    Pump();
}

std::string ControlsTest::TextOf(HWND h) {
    std::string s(static_cast<std::size_t>(GetWindowTextLengthA(h)) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowTextA(h, s.data(), static_cast<int>(s.size()))));
    return s;
}

std::vector<int> ControlsTest::Clicks() const {
    std::vector<int> ids;
    for (const Note& n : Notes())
        if (n.msg == WM_COMMAND && HIWORD(DWORD(n.wp)) == BN_CLICKED)
            ids.push_back(LOWORD(DWORD(n.wp)));
    return ids;
}

std::vector<WORD> ControlsTest::Codes(HWND from) {
    std::vector<WORD> codes;
    for (const Note& n : Notes())
        if (n.msg == WM_COMMAND && reinterpret_cast<HWND>(n.lp) == from)
            codes.push_back(HIWORD(static_cast<DWORD>(n.wp)));
    return codes;
}

void ControlsTest::Measure(std::function<void(MEASUREITEMSTRUCT*)> measure) {
    ParentHook() = [measure](UINT msg, WPARAM, LPARAM lp, bool&) -> LRESULT {
        if (msg == WM_MEASUREITEM) measure(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        return 0;
    };
}

POINT ControlsTest::ListItemPoint(HWND list, int i) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    return p;
}

}  // namespace win::testing
