#include "tests/platform/user/user_fixture.h"

#include <algorithm>

#include "platform/gdi/bitmap.h"

namespace win::testing {

std::vector<Logged>& UserTest::Log() {
    static std::vector<Logged> log;
    return log;
}

std::map<std::pair<HWND, UINT>, LRESULT>& UserTest::Answers() {
    static std::map<std::pair<HWND, UINT>, LRESULT> a;
    return a;
}

std::map<std::pair<HWND, UINT>, std::function<LRESULT(HWND, WPARAM, LPARAM)>>&
UserTest::Handlers() {
    static std::map<std::pair<HWND, UINT>, std::function<LRESULT(HWND, WPARAM, LPARAM)>> h;
    return h;
}

LRESULT UserTest::CALLBACK_Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    Log().push_back(Logged{h, m, wp, lp});
    if (auto it = Handlers().find({h, m}); it != Handlers().end()) return it->second(h, wp, lp);
    if (auto it = Answers().find({h, m}); it != Answers().end()) return it->second;
    return DefWindowProcA(h, m, wp, lp);
}

COLORREF ScreenPixel(int x, int y) {
    BitmapView v;
    EXPECT_TRUE(GetBitmapView(ComposeScreen(), &v));
    const BYTE* p = v.Row(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
}

HBITMAP MakeImage(int width, int height, const std::function<uint32_t(int x, int y)>& pixel) {
    BITMAPINFO bmi;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            px[y * width + x] = pixel(x, y);
    return image;
}

void ScriptedInput::At(uint32_t ms, std::function<void()> action) {
    uint32_t due = clock_.Ticks() + ms;
    auto at = std::find_if(steps_.begin(), steps_.end(),
                           [&](const Step& s) { return int32_t(s.due - due) > 0; });
    steps_.insert(at, Step{due, std::move(action)});
}

void ScriptedInput::Wait(uint32_t timeoutMs) {
    if (woken_.exchange(false)) return;
    uint32_t now = clock_.Ticks();
    if (!steps_.empty()) {
        uint32_t until = int32_t(steps_.front().due - now) > 0 ? steps_.front().due - now : 0;
        if (until > timeoutMs) {
            clock_.Sleep(timeoutMs);
            return;
        }
        clock_.Sleep(until);
        auto action = std::move(steps_.front().action);
        steps_.erase(steps_.begin());
        action();
        return;
    }
    if (timeoutMs != kInfinite) {
        clock_.Sleep(timeoutMs);
        return;
    }
    clock_.Sleep(1);
    if (++starved_ % 100000 == 0) {
        ADD_FAILURE() << "a loop waited for input that never came";
        if (starved_ > 100000) {
            PostQuitMessage(0);
        } else {
            QueueKeyEvent(KeyEvent{VK_ESCAPE, true});
            QueueKeyEvent(KeyEvent{VK_ESCAPE, false});
        }
    }
}

void UserTest::SetUp() {
    ResetWindowing();
    SetEventSource(&script_);
    Log().clear();
    Answers().clear();
    Handlers().clear();
    WNDCLASSEXA wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CALLBACK_Proc;
    wc.lpszClassName = kLogClass;
    ASSERT_NE(RegisterClassExA(&wc), 0);
}

void UserTest::TearDown() {
    ResetWindowing();
    SetEventSource(nullptr);
    Handlers().clear();
    Answers().clear();
}

HWND UserTest::Make(DWORD style, int x, int y, int w, int h, HWND parent, DWORD ex,
                    const char* title) {
    return CreateWindowExA(ex, kLogClass, title, style, x, y, w, h, parent, nullptr, nullptr,
                           nullptr);
}

std::vector<UINT> UserTest::Messages(HWND h) const {
    std::vector<UINT> out;
    for (auto& l : Log())
        if (h == nullptr || l.hwnd == h) out.push_back(l.msg);
    return out;
}

std::vector<UINT> UserTest::Only(const std::vector<UINT>& interesting, HWND h) const {
    std::vector<UINT> out;
    for (auto& l : Log())
        if ((h == nullptr || l.hwnd == h) &&
            std::find(interesting.begin(), interesting.end(), l.msg) != interesting.end())
            out.push_back(l.msg);
    return out;
}

int UserTest::Count(UINT msg, HWND h) const {
    int n = 0;
    for (auto& l : Log())
        if (l.msg == msg && (h == nullptr || l.hwnd == h)) ++n;
    return n;
}

const Logged* UserTest::Last(UINT msg, HWND h) const {
    for (auto it = Log().rbegin(); it != Log().rend(); ++it)
        if (it->msg == msg && (h == nullptr || it->hwnd == h)) return &*it;
    return nullptr;
}

void UserTest::Clear() {
    Log().clear();
}

void UserTest::Pump() {
    MSG m;
    for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (m.message == WM_QUIT) break;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void UserTest::Move(int x, int y) {
    QueueMouseEvent(MouseEvent{MouseEvent::Move, POINT{x, y}});
    Pump();
}

void UserTest::Press(int x, int y, MouseButton b) {
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{x, y}, b});
    Pump();
}

void UserTest::Release(int x, int y, MouseButton b) {
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{x, y}, b});
    Pump();
}

void UserTest::Click(int x, int y, MouseButton b) {
    // Both halves first: a press may start a modal loop that waits for the release.
    QueueMouseEvent(MouseEvent{MouseEvent::Down, POINT{x, y}, b});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, POINT{x, y}, b});
    Pump();
}

void UserTest::Key(UINT vk, bool down, unsigned char ch) {
    QueueKeyEvent(KeyEvent{vk, down, ch});
    Pump();
}

void UserTest::QueueTaps(std::initializer_list<UINT> keys) {
    for (UINT vk : keys) {
        QueueKeyEvent(KeyEvent{vk, true});
        QueueKeyEvent(KeyEvent{vk, false});
    }
}

void UserTest::Tap(UINT vk) {
    Key(vk, true);
    Key(vk, false);
}

}  // namespace win::testing
