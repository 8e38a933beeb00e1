// The caret over the composed screen, and the clipboard with its bridge to other programs.
#include <cstring>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/sys_colors.h"
#include "platform/os/cp_literal.h"
#include "tests/platform/user/user_fixture.h"

namespace win::testing {
namespace {

constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr COLORREF kInverted = RGB(245, 235, 225);

class CaretTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        WNDCLASSEXA wc;
        wc.lpfnWndProc = &UserTest::CALLBACK_Proc;
        wc.lpszClassName = "CaretFace";
        wc.hbrBackground = CreateSolidBrush(kFace);
        RegisterClassExA(&wc);
        w_ = CreateWindowExA(0, "CaretFace", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
        Pump();
    }
    // Lets `ms` pass with the queue pumped, so the blink timer fires.
    void Wait(uint32_t ms) {
        clock_.Advance(ms);
        Pump();
    }
    HWND w_ = nullptr;
};

TEST_F(CaretTest, TheCaretShowsBlinksHidesAndFollowsItsWindow) {
    ASSERT_TRUE(CreateCaret(w_, nullptr, 2, 10));
    EXPECT_TRUE(SetCaretPos(5, 5));
    EXPECT_EQ(ScreenPixel(6, 10), kFace);  // a new caret is hidden
    EXPECT_TRUE(ShowCaret(w_));
    EXPECT_EQ(ScreenPixel(6, 10), kInverted);
    EXPECT_EQ(ScreenPixel(7, 10), kFace);  // two pixels wide
    Wait(GetCaretBlinkTime());
    EXPECT_EQ(ScreenPixel(6, 10), kFace);
    Wait(GetCaretBlinkTime());
    EXPECT_EQ(ScreenPixel(6, 10), kInverted);
    EXPECT_EQ(Count(WM_TIMER, w_), 0);  // the blinking is not the window's business
    // A move shows it at once in the new place.
    Wait(GetCaretBlinkTime());
    SetCaretPos(50, 50);
    EXPECT_EQ(ScreenPixel(51, 55), kInverted);
    EXPECT_EQ(ScreenPixel(6, 10), kFace);
    POINT at;
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at, (POINT{50, 50}));
    // Hiding nests; only the owner may show or hide it.
    EXPECT_TRUE(HideCaret(nullptr));
    EXPECT_TRUE(HideCaret(w_));
    EXPECT_TRUE(ShowCaret(w_));
    EXPECT_EQ(ScreenPixel(51, 55), kFace);
    EXPECT_TRUE(ShowCaret(nullptr));
    EXPECT_EQ(ScreenPixel(51, 55), kInverted);
    EXPECT_FALSE(ShowCaret(w_));  // not hidden
    HWND other = Make(WS_POPUP | WS_VISIBLE, 300, 300, 10, 10);
    EXPECT_FALSE(HideCaret(other));
    // A window in front covers it; outside the client area it does not show.
    SetWindowPos(other, HWND_TOP, 45, 45, 20, 20, SWP_NOACTIVATE);
    Pump();
    EXPECT_NE(ScreenPixel(51, 55), kInverted);
    ShowWindow(other, SW_HIDE);
    EXPECT_EQ(ScreenPixel(51, 55), kInverted);
    SetCaretPos(99, 50);
    EXPECT_EQ(ScreenPixel(99, 55), kInverted);
    EXPECT_EQ(ScreenPixel(100, 55), GetSysColor(COLOR_BACKGROUND));
    // It goes with its window.
    DestroyWindow(w_);
    EXPECT_FALSE(GetCaretPos(&at));
    EXPECT_FALSE(DestroyCaret());
}

TEST_F(CaretTest, ABitmapCaretIsXoredAndANewCaretReplacesTheOld) {
    // The left half inverts, the right half leaves the screen as it is.
    HBITMAP shape = MakeImage(4, 4, [](int x, int) { return x < 2 ? 0x00FFFFFFu : 0u; });
    ASSERT_TRUE(CreateCaret(w_, shape, 0, 0));
    SetCaretPos(20, 20);
    ShowCaret(w_);
    EXPECT_EQ(ScreenPixel(20, 20), kInverted);
    EXPECT_EQ(ScreenPixel(22, 20), kFace);
    EXPECT_EQ(ScreenPixel(20, 24), kFace);  // four high, from the bitmap
    ASSERT_TRUE(CreateCaret(w_, nullptr, 0, 0));
    EXPECT_EQ(ScreenPixel(20, 20), kFace);
    EXPECT_FALSE(CreateCaret(w_, reinterpret_cast<HBITMAP>(uintptr_t(0x777)), 0, 0));
    EXPECT_FALSE(SetCaretPos(1, 1));
    DeleteObject(shape);
}

// --- the clipboard ---

HGLOBAL TextBlock(const std::string& text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    return h;
}

std::string ReadText() {
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h == nullptr) return "<none>";
    std::string s(static_cast<const char*>(GlobalLock(h)));
    GlobalUnlock(h);
    return s;
}

struct FakeOutside : ClipboardBridge {
    void Offer(const std::string& text) override { offered.push_back(text); }
    std::optional<std::string> Take() override { return held; }
    std::vector<std::string> offered;
    std::optional<std::string> held;
};

TEST_F(UserTest, ClipboardTextRoundTripAndTheOpenProtocol) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10), b = Make(WS_POPUP, 0, 0, 10, 10);
    HGLOBAL early = TextBlock("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, early), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    ASSERT_TRUE(OpenClipboard(a));
    EXPECT_FALSE(OpenClipboard(b));
    EXPECT_TRUE(EmptyClipboard());
    HGLOBAL text = TextBlock("Привет"_cp);
    EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
    EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GetClipboardOwner(), a);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(b));
    EXPECT_EQ(ReadText(), "Привет"_cp);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
    // Emptying frees what the clipboard held.
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GlobalSize(text), 0u);
    EXPECT_EQ(GetClipboardOwner(), b);
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    GlobalFree(early);
    EXPECT_EQ(GlobalFree(early), early);  // freed already
    EXPECT_EQ(GlobalLock(early), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, size_t(1) << 30), nullptr);
}

TEST_F(UserTest, TheBridgeOffersOurTextAndBringsOthersText) {
    FakeOutside outside;
    SetClipboardBridge(&outside);
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    OpenClipboard(a);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, TextBlock("наш"_cp));
    CloseClipboard();
    EXPECT_EQ(outside.offered, std::vector<std::string>{"наш"_cp});
    // Opened and closed without a change: nothing new is offered.
    OpenClipboard(a);
    EXPECT_EQ(ReadText(), "наш"_cp);
    CloseClipboard();
    EXPECT_EQ(outside.offered.size(), 1u);
    // Another program takes it: its text is read through the bridge.
    ClipboardTakenOutside();
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    outside.held = "чужой"_cp;
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    OpenClipboard(nullptr);
    EXPECT_EQ(ReadText(), "чужой"_cp);
    outside.held = "ещё"_cp;
    EXPECT_EQ(ReadText(), "ещё"_cp);
    CloseClipboard();
    SetClipboardBridge(nullptr);
}

}  // namespace
}  // namespace win::testing
