#include <cstring>
#include <random>
#include <string>

#include "platform/controls/edit_control.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

class EditTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        font_ = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    }
    void TearDown() override {
        ControlsTest::TearDown();
        DeleteObject(font_);
    }

    // Edits stand one under the other.
    HWND Edit(DWORD style, const char* text = "", int w = 120, int h = 21,
              DWORD ex = WS_EX_CLIENTEDGE) {
        HWND e = Child("Edit", text, style | WS_TABSTOP, 100, 10, nextY_, w, h, ex);
        nextY_ += h + 5;
        SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        return e;
    }
    static std::pair<unsigned long, unsigned long> Sel(HWND e) {
        DWORD a = 0, b = 0;
        SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    // The client x of a character.
    static int XOf(HWND e, std::size_t index) {
        return static_cast<short>(
            LOWORD(static_cast<DWORD>(SendMessageA(e, EM_POSFROMCHAR, index, 0))));
    }
    // A screen point just inside the character at `index`.
    static POINT At(HWND e, std::size_t index) {
        const auto r = static_cast<DWORD>(SendMessageA(e, EM_POSFROMCHAR, index, 0));
        POINT p{static_cast<short>(LOWORD(r)) + 1, static_cast<short>(HIWORD(r)) + 4};
        ClientToScreen(e, &p);
        return p;
    }
    static int Count(WORD code) {
        int n = 0;
        for (const Note& note : Notes())
            n += note.msg == WM_COMMAND && HIWORD(DWORD(note.wp)) == code;
        return n;
    }
    static std::string Clipboard() { return GetClipboardText(nullptr); }
    static void SetClipboard(const std::string& s) { SetClipboardText(nullptr, s); }
    static int FirstVisible(HWND e) {
        return static_cast<int>(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0));
    }

    HFONT font_ = nullptr;
    int nextY_ = 10;
};

TEST_F(EditTest, TypingAndKeysMoveTheCaretAndSelect) {
    HWND e = Edit(ES_AUTOHSCROLL);
    Click(e);
    ASSERT_EQ(GetFocus(), e);
    Notes().clear();
    Type("hello world");
    EXPECT_EQ(TextOf(e), "hello world");
    EXPECT_EQ(Count(EN_CHANGE), 11);
    for (int i = 0; i < 5; ++i)
        Chord(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(6ul, 11ul));
    Type("there");
    EXPECT_EQ(TextOf(e), "hello there");
    Tap(VK_HOME);
    Chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(Sel(e), std::make_pair(6ul, 6ul));
    Chord(VK_SHIFT, VK_END);
    EXPECT_EQ(Sel(e), std::make_pair(6ul, 11ul));
    Tap(VK_LEFT);  // a selection collapses to its start
    EXPECT_EQ(Sel(e), std::make_pair(6ul, 6ul));
    Tap(VK_BACK);
    Tap(VK_HOME);
    Tap(VK_DELETE);
    Tap(VK_LEFT);
    EXPECT_EQ(TextOf(e), "ellothere");
    EXPECT_EQ(Sel(e), std::make_pair(0ul, 0ul));
    EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    // Text set from outside: caret home, not modified, still a change for the parent.
    Notes().clear();
    SetWindowTextA(e, "fresh");
    EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(Count(EN_CHANGE), 1);
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    // EM_SETSEL: -1 as the end runs to the end, -1 as the start drops the selection.
    SendMessageA(e, EM_SETSEL, 1, -1);
    EXPECT_EQ(Sel(e), std::make_pair(1ul, 5ul));
    SendMessageA(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Sel(e), std::make_pair(5ul, 5ul));
    SendMessageA(e, EM_SETSEL, 4, 2);  // the caret goes to the end given last
    Chord(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(1ul, 4ul));
    SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XY"));
    EXPECT_EQ(TextOf(e), "fXYh");
    EXPECT_EQ(GetWindowTextLengthA(e), 4);
}

TEST_F(EditTest, TheMouseSelectsWithCaptureAndScrollsWhileDragging) {
    HWND e = Edit(ES_AUTOHSCROLL, "alpha beta gamma delta epsilon zeta eta theta iota kappa", 100);
    PressAt(At(e, 6));
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(GetCapture(), e);
    MoveTo(At(e, 10));
    EXPECT_EQ(Sel(e), std::make_pair(6ul, 10ul));
    ReleaseAt(At(e, 10).x, At(e, 10).y);
    EXPECT_EQ(GetCapture(), nullptr);
    // Shift with a click moves the caret end only.
    Key(VK_SHIFT, true);
    Click(e);
    Key(VK_SHIFT, false);
    EXPECT_EQ(Sel(e).first, 6u);
    // A double click takes the word.
    const POINT w = At(e, 12);
    PressAt(w);
    ReleaseAt(w.x, w.y);
    PressAt(w);
    ReleaseAt(w.x, w.y);
    EXPECT_EQ(Sel(e), std::make_pair(11ul, 16ul));
    // Held past the right edge, the text scrolls on the timer until the end is reached.
    SendMessageA(e, EM_SETSEL, 0, 0);
    PressAt(At(e, 0));
    RECT r;
    GetWindowRect(e, &r);
    MoveTo({r.right + 20, (r.top + r.bottom) / 2});
    for (int i = 0; i < 100 && Sel(e).second < 56; ++i) {
        clock_.Advance(100);
        Pump();
    }
    EXPECT_EQ(Sel(e), std::make_pair(0ul, 56ul));
    EXPECT_GT(FirstVisible(e), 0);
    ReleaseAt(r.right + 20, r.top);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditTest, ClipboardKeysAndUndo) {
    HWND e = Edit(ES_AUTOHSCROLL, "copy me");
    Click(e);
    SendMessageA(e, EM_SETSEL, 0, 4);
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(Clipboard(), "copy");
    Tap(VK_END);
    Chord(VK_CONTROL, 'V');
    EXPECT_EQ(TextOf(e), "copy mecopy");
    // One step back, and the undo itself undone; the restored text is selected.
    Chord(VK_CONTROL, 'Z');
    EXPECT_EQ(TextOf(e), "copy me");
    Chord(VK_CONTROL, 'Z');
    EXPECT_EQ(TextOf(e), "copy mecopy");
    EXPECT_EQ(Sel(e), std::make_pair(7ul, 11ul));
    SendMessageA(e, EM_SETSEL, 0, 5);
    Chord(VK_SHIFT, VK_DELETE);
    EXPECT_EQ(TextOf(e), "mecopy");
    EXPECT_EQ(Clipboard(), "copy ");
    Chord(VK_SHIFT, VK_INSERT);
    EXPECT_EQ(TextOf(e), "copy mecopy");
    SendMessageA(e, EM_SETSEL, 7, 11);
    Chord(VK_CONTROL, 'X');
    EXPECT_EQ(TextOf(e), "copy me");
    // A run of typing goes back in one step.
    Type("abc");
    Chord(VK_CONTROL, 'Z');
    EXPECT_EQ(TextOf(e), "copy me");
    // A single-line edit takes a pasted text up to its first line break.
    SetClipboard("one\r\ntwo");
    SendMessageA(e, EM_SETSEL, 0, -1);
    SendMessageA(e, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(e), "one");
    // A password is never copied out.
    SendMessageA(e, EM_SETPASSWORDCHAR, '#', 0);
    EXPECT_EQ(SendMessageA(e, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_TRUE(GetWindowLongPtrA(e, GWL_STYLE) & ES_PASSWORD);
    SendMessageA(e, EM_SETSEL, 0, -1);
    SendMessageA(e, WM_COPY, 0, 0);
    SendMessageA(e, WM_CUT, 0, 0);
    EXPECT_EQ(Clipboard(), "one\r\ntwo");
    EXPECT_EQ(TextOf(e), "one");
    SendMessageA(e, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_FALSE(GetWindowLongPtrA(e, GWL_STYLE) & ES_PASSWORD);
    // Read-only: nothing typed, cut, pasted or undone by keys; copying still works.
    SendMessageA(e, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLongPtrA(e, GWL_STYLE) & ES_READONLY);
    SendMessageA(e, EM_SETSEL, 0, -1);
    Type("x");
    Chord(VK_CONTROL, 'X');
    Chord(VK_CONTROL, 'V');
    Tap(VK_BACK);
    Chord(VK_CONTROL, 'C');
    EXPECT_EQ(TextOf(e), "one");
    EXPECT_EQ(Clipboard(), "one");
}

TEST_F(EditTest, LimitCaseAndTheRoomOfAFixedEdit) {
    HWND e = Edit(ES_AUTOHSCROLL);
    SendMessageA(e, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 5);
    Click(e);
    Notes().clear();
    Type("abcdefg");
    EXPECT_EQ(TextOf(e), "abcde");
    EXPECT_EQ(Count(EN_MAXTEXT), 2);
    SendMessageA(e, EM_SETSEL, 1, 2);
    SetClipboard("XYZ");
    SendMessageA(e, WM_PASTE, 0, 0);  // cut to the room left
    EXPECT_EQ(TextOf(e), "aXcde");
    SetWindowTextA(e, "longer than five");  // the limit is for the operator only
    EXPECT_EQ(TextOf(e), "longer than five");
    SendMessageA(e, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);

    HWND upper = Edit(ES_AUTOHSCROLL | ES_UPPERCASE);
    Click(upper);
    Type("Ёлка ok"_cp);
    EXPECT_EQ(TextOf(upper), "ЁЛКА OK"_cp);
    HWND lower = Edit(ES_AUTOHSCROLL | ES_LOWERCASE);
    SetWindowTextA(lower, "ШУМ"_cp);
    EXPECT_EQ(TextOf(lower), "шум"_cp);

    // Without ES_AUTOHSCROLL the text may not grow past the width.
    HWND fixed = Edit(0, "", 60);
    Click(fixed);
    Type("WWWWWWWWWWWWWWWWWWWW");
    const std::string typed = TextOf(fixed);
    EXPECT_GT(typed.size(), 2u);
    EXPECT_LT(typed.size(), 20u);
    RECT f;
    SendMessageA(fixed, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
    const auto end = static_cast<DWORD>(SendMessageA(fixed, EM_POSFROMCHAR, typed.size(), 0));
    EXPECT_LE(static_cast<short>(LOWORD(end)), f.right);
}

TEST_F(EditTest, ColoursComeFromTheParentAsTheStateAsks) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    std::vector<UINT> asked;
    ParentHook() = [&](UINT msg, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
        if (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) return 0;
        asked.push_back(msg);
        SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 255));
        handled = true;
        return reinterpret_cast<LRESULT>(msg == WM_CTLCOLOREDIT ? red : green);
    };
    HWND e = Edit(ES_AUTOHSCROLL, "WWW");
    // Ink over the background shows where a channel the background lacks comes up.
    auto hasInk = [](const Shot& s, auto test) {
        for (int x = 0; x < 30; ++x)
            for (int y = 0; y < 17; ++y)
                if (test(s.At(x, y))) return true;
        return false;
    };
    auto blue = [](COLORREF c) { return GetBValue(c) > GetRValue(c) + 40; };
    auto grey = [](COLORREF c) { return GetRValue(c) > 40 && GetRValue(c) == GetBValue(c); };
    {
        asked.clear();
        Shot s(e);
        EXPECT_EQ(asked, std::vector<UINT>{WM_CTLCOLOREDIT});
        EXPECT_EQ(s.At(100, 8), RGB(255, 0, 0));
        EXPECT_TRUE(hasInk(s, blue));
    }
    SendMessageA(e, EM_SETREADONLY, TRUE, 0);
    {
        asked.clear();
        Shot s(e);
        EXPECT_EQ(asked, std::vector<UINT>{WM_CTLCOLORSTATIC});
        EXPECT_EQ(s.At(100, 8), RGB(0, 255, 0));
    }
    SendMessageA(e, EM_SETREADONLY, FALSE, 0);
    EnableWindow(e, FALSE);
    {
        asked.clear();
        Shot s(e);
        EXPECT_EQ(asked, std::vector<UINT>{WM_CTLCOLORSTATIC});
        EXPECT_TRUE(hasInk(s, grey));
        EXPECT_FALSE(hasInk(s, blue));
    }
    // The selection shows in the highlight colours while focused.
    EnableWindow(e, TRUE);
    Click(e);
    SendMessageA(e, EM_SETSEL, 0, -1);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_TRUE(hasInk(Shot(e), [&](COLORREF c) { return c == highlight; }));
    ParentHook() = nullptr;
    DeleteObject(red);
    DeleteObject(green);
}

TEST_F(EditTest, EdgesFormattingRectangleAndPrinting) {
    HWND edged = Edit(ES_AUTOHSCROLL, "", 100, 24, WS_EX_CLIENTEDGE);
    HWND bordered = Edit(ES_AUTOHSCROLL | WS_BORDER, "", 100, 24, 0);
    RECT c, f;
    GetClientRect(edged, &c);
    EXPECT_EQ(c.right, 96);
    EXPECT_EQ(c.bottom, 20);
    SendMessageA(edged, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
    EXPECT_EQ(f, (RECT{1, 1, 95, 19}));
    GetClientRect(bordered, &c);
    EXPECT_EQ(c.right, 98);
    UpdateWindow(edged);
    UpdateWindow(bordered);
    HDC dc = GetWindowDC(edged);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, 99, 23), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 50, 12), GetSysColor(COLOR_WINDOW));
    ReleaseDC(edged, dc);
    dc = GetWindowDC(bordered);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(GetPixel(dc, 1, 1), GetSysColor(COLOR_WINDOW));
    ReleaseDC(bordered, dc);

    // WM_PRINT draws the frame only when asked, and the client where the flags put it.
    HDC mem = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 100, 24};
    FillRect(mem, &all, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(edged, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(mem, 98, 22), RGB(0, 0, 0));
    SendMessageA(edged, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(mem, 50, 12), GetSysColor(COLOR_WINDOW));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

TEST_F(EditTest, TextNeverGoesUnderAChildButtonOutsideTheRectangle) {
    HWND e = Edit(ES_MULTILINE | ES_AUTOHSCROLL | WS_CLIPCHILDREN, "", 120, 21);
    RECT c;
    GetClientRect(e, &c);
    HWND button = CreateWindowExA(0, "Button", "", BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE,
                                  c.right - 20, 0, 20, c.bottom, e, nullptr, nullptr, nullptr);
    const RECT r{0, 0, c.right - 20, c.bottom};
    SendMessageA(e, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    RECT got;
    SendMessageA(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got, r);
    PressAt(At(e, 0));
    ReleaseAt(At(e, 0).x, At(e, 0).y);
    Type("WWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    EXPECT_LT(XOf(e, 0), 0);  // scrolled
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_LE(caret.x, r.right);
    // The edit's own picture leaves the button's place blank; the button paints itself whole.
    const Shot s(e);
    for (int x = r.right; x < c.right; ++x)
        for (int y = 0; y < c.bottom; ++y)
            ASSERT_EQ(s.At(x, y), GetSysColor(COLOR_WINDOW)) << x << "," << y;
    UpdateWindow(parent_);
    HDC dc = GetDC(button);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 10, 8), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(button, dc);
}

TEST_F(EditTest, DialogCodesLeaveTabEscapeAndEnterToTheDialog) {
    HWND single = Edit(ES_AUTOHSCROLL);
    HWND multi = Edit(ES_MULTILINE);
    HWND wants = Edit(ES_MULTILINE | ES_WANTRETURN);
    const LRESULT base = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    EXPECT_EQ(SendMessageA(single, WM_GETDLGCODE, 0, 0), base);
    EXPECT_EQ(SendMessageA(multi, WM_GETDLGCODE, 0, 0), base | DLGC_WANTALLKEYS);
    auto code = [](HWND h, WPARAM vk) {
        MSG m;
        m.hwnd = h;
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        return SendMessageA(h, WM_GETDLGCODE, vk, reinterpret_cast<LPARAM>(&m));
    };
    EXPECT_EQ(code(multi, VK_RETURN), base);
    EXPECT_EQ(code(wants, VK_RETURN), base | DLGC_WANTALLKEYS);
    EXPECT_EQ(code(wants, VK_TAB), base);
    EXPECT_EQ(code(wants, VK_ESCAPE), base);
    EXPECT_EQ(code(wants, 'A'), base | DLGC_WANTALLKEYS);
}

// --- multi-line ---

std::string Lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += "\r\n";
        s += std::to_string(i);
    }
    return s;
}

TEST_F(EditTest, LineMessagesFollowTheLinesOnTheScreen) {
    HWND m = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "first line\r\nsecond\r\n\r\nlast", 150, 100);
    EXPECT_EQ(SendMessageA(m, EM_GETLINECOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(m, EM_LINEINDEX, 1, 0), 12);
    EXPECT_EQ(SendMessageA(m, EM_LINEINDEX, 4, 0), -1);
    EXPECT_EQ(SendMessageA(m, EM_LINELENGTH, 13, 0), 6);
    EXPECT_EQ(SendMessageA(m, EM_LINELENGTH, 20, 0), 0);
    EXPECT_EQ(SendMessageA(m, EM_LINEFROMCHAR, 22, 0), 3);
    char buf[16] = {};
    *reinterpret_cast<WORD*>(buf) = sizeof buf;
    EXPECT_EQ(SendMessageA(m, EM_GETLINE, 3, reinterpret_cast<LPARAM>(buf)), 4);
    EXPECT_EQ(std::string(buf, 4), "last");
    EXPECT_EQ(TextOf(m), "first line\r\nsecond\r\n\r\nlast");
    // EM_LINELENGTH with -1: what the selection leaves of its lines.
    SendMessageA(m, EM_SETSEL, 2, 14);
    EXPECT_EQ(SendMessageA(m, EM_LINELENGTH, static_cast<WPARAM>(-1), 0), 2 + 4);

    // Word wrap: every line starts a word, ends in a blank but the last, and fits the width.
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    SetWindowTextA(m, words.c_str());
    const int count = static_cast<int>(SendMessageA(m, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(count, 4);
    RECT f;
    SendMessageA(m, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
    for (int l = 0; l < count; ++l) {
        const auto start = static_cast<std::size_t>(SendMessageA(m, EM_LINEINDEX, l, 0));
        const auto len = static_cast<std::size_t>(SendMessageA(m, EM_LINELENGTH, start, 0));
        EXPECT_EQ(words.substr(start, 4), "word");
        EXPECT_EQ(words[start + len - 1], ' ');
        const auto end = static_cast<DWORD>(SendMessageA(m, EM_POSFROMCHAR, start + len - 1, 0));
        EXPECT_LE(static_cast<short>(LOWORD(end)), f.right);
    }
    // A narrower rectangle wraps more; ES_AUTOHSCROLL does not wrap at all.
    RECT narrow = f;
    narrow.right -= 60;
    SendMessageA(m, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&narrow));
    EXPECT_GT(SendMessageA(m, EM_GETLINECOUNT, 0, 0), count);
    HWND wide = Edit(ES_MULTILINE | ES_AUTOHSCROLL, words.c_str(), 150, 100);
    EXPECT_EQ(SendMessageA(wide, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, KeysMoveByLinesAndEnterBreaksTheLine) {
    HWND m = Edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, "", 150, 100);
    Click(m);
    Type("abcd\rabcd\rabcd");
    EXPECT_EQ(TextOf(m), "abcd\r\nabcd\r\nabcd");
    Tap(VK_UP);
    EXPECT_EQ(Sel(m), std::make_pair(10ul, 10ul));
    Tap(VK_HOME);
    Tap(VK_RIGHT);
    Tap(VK_RIGHT);
    Tap(VK_DOWN);  // the column is kept
    EXPECT_EQ(Sel(m), std::make_pair(14ul, 14ul));
    Chord(VK_CONTROL, VK_HOME);
    Chord(VK_SHIFT, VK_DOWN);
    EXPECT_EQ(Sel(m), std::make_pair(0ul, 6ul));
    Tap(VK_RIGHT);
    Tap(VK_BACK);  // joins the lines back
    EXPECT_EQ(TextOf(m), "abcdabcd\r\nabcd");
    Tap(VK_END);
    Tap(VK_RIGHT);  // over the whole CR LF: the caret never stands inside one
    EXPECT_EQ(Sel(m), std::make_pair(10ul, 10ul));
    Tap(VK_LEFT);
    EXPECT_EQ(Sel(m), std::make_pair(8ul, 8ul));

    // End on a wrapped line leaves the caret at that line's end, not at the next one's start.
    std::string words;
    for (int i = 0; i < 20; ++i)
        words += "word ";
    SetWindowTextA(m, words.c_str());
    Chord(VK_CONTROL, VK_HOME);
    Tap(VK_END);
    POINT caret;
    GetCaretPos(&caret);
    const auto lineEnd = static_cast<std::size_t>(SendMessageA(m, EM_LINEINDEX, 1, 0));
    EXPECT_EQ(Sel(m).first, lineEnd);
    const auto start = static_cast<DWORD>(SendMessageA(m, EM_POSFROMCHAR, 0, 0));
    EXPECT_EQ(caret.y, static_cast<short>(HIWORD(start)));
    EXPECT_GT(caret.x, XOf(m, lineEnd - 1));
    Type("!");
    EXPECT_EQ(TextOf(m).substr(lineEnd, 5), "!word");
}

// Only the lines an edit touches are painted again: what the window shows must still be what
// a whole paint draws, whatever the edit did to the wrapping.
TEST_F(EditTest, PartialRepaintsMatchAWholePaint) {
    HWND m = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "", 150, 100);
    Click(m);
    RECT c;
    GetClientRect(m, &c);
    auto expectWhole = [&](int step) {
        UpdateWindow(m);
        const Shot whole(m);
        HDC dc = GetDC(m);
        for (int y = 0; y < c.bottom; ++y)
            for (int x = 0; x < c.right; ++x)
                ASSERT_EQ(GetPixel(dc, x, y), whole.At(x, y))
                    << "step " << step << " at " << x << "," << y;
        ReleaseDC(m, dc);
    };
    // "a " and a word just too long to join it: a blank typed into the word lets its head
    // move up to the line before the one typed on.
    std::string text = "a m";
    while (SendMessageA(m, EM_GETLINECOUNT, 0, 0) < 2) {
        text += 'm';
        SetWindowTextA(m, text.c_str());
    }
    ASSERT_EQ(SendMessageA(m, EM_LINEINDEX, 1, 0), 2);
    expectWhole(-2);
    SendMessageA(m, EM_SETSEL, 3, 3);
    Type(" ");
    ASSERT_EQ(SendMessageA(m, EM_LINEINDEX, 1, 0), 4);
    expectWhole(-1);
    std::mt19937 rng(7);
    for (int step = 0; step < 80; ++step) {
        switch (rng() % 8) {
            case 0:
                Type(" ");
                break;
            case 1:
                Type("\r");
                break;
            case 2:
                Tap(VK_BACK);
                break;
            case 3:
                Tap(rng() % 2 ? VK_UP : VK_LEFT);
                break;
            case 4:
                Chord(VK_SHIFT, VK_LEFT);
                break;
            default:
                Type(std::string(1 + rng() % 9, static_cast<char>('a' + rng() % 26)));
                break;
        }
        expectWhole(step);
    }
    EXPECT_GT(SendMessageA(m, EM_GETLINECOUNT, 0, 0), 3);
}

TEST_F(EditTest, ScrollBarsFollowTheTextAndTakeThumbsFromOtherWindows) {
    HWND m = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, "", 150, 100);
    const std::string text = Lines(70000);
    SetWindowTextA(m, text.c_str());
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(m, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 69999);
    const int page = static_cast<int>(si.nPage);
    RECT f;
    SendMessageA(m, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
    EXPECT_GT(page, 3);
    Notes().clear();
    SendMessageA(m, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(FirstVisible(m), 1);
    EXPECT_EQ(Count(EN_VSCROLL), 1);
    SendMessageA(m, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(FirstVisible(m), page);
    // A skin's bar sets nPos itself and sends a thumb code whose word stops at 65 535.
    si.fMask = SIF_POS;
    si.nPos = 68000;
    SetScrollInfo(m, SB_VERT, &si, FALSE);
    SendMessageA(m, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 65535), 0);
    EXPECT_EQ(FirstVisible(m), 68000);
    SendMessageA(m, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_EQ(FirstVisible(m), 68000);
    SendMessageA(m, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(FirstVisible(m), 70000 - page);
    SendMessageA(m, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(FirstVisible(m), 70000 - page - 3);
    EXPECT_EQ(SendMessageA(m, EM_SCROLL, SB_LINEUP, 0), MAKELONG(static_cast<WORD>(-1), TRUE));
    SendMessageA(m, EM_LINESCROLL, 0, -10);
    EXPECT_EQ(FirstVisible(m), 70000 - page - 14);
    si.fMask = SIF_POS;
    GetScrollInfo(m, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 70000 - page - 14);

    // Sideways likewise, in pixels: a line, a page, a thumb set from outside.
    HWND wide =
        Edit(ES_MULTILINE | ES_AUTOHSCROLL | WS_HSCROLL, std::string(300, 'w').c_str(), 150, 60);
    si.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(wide, SB_HORZ, &si));
    EXPECT_GT(si.nMax, 300);
    const int x0 = XOf(wide, 0);
    SendMessageA(wide, WM_HSCROLL, SB_LINERIGHT, 0);
    const int step = x0 - XOf(wide, 0);
    EXPECT_GT(step, 0);
    SendMessageA(wide, WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(x0 - XOf(wide, 0), step + static_cast<int>(si.nPage));
    si.fMask = SIF_POS;
    si.nPos = 1000;
    SetScrollInfo(wide, SB_HORZ, &si, FALSE);
    SendMessageA(wide, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
    EXPECT_EQ(x0 - XOf(wide, 0), 1000);
    SendMessageA(wide, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(XOf(wide, 0), x0);

    // The caret is kept in view: Ctrl+Home goes to the top.
    Click(m);
    Chord(VK_CONTROL, VK_HOME);
    EXPECT_EQ(FirstVisible(m), 0);

    // The window's own thumb dragged to the end of its track: past 65 535 too.
    RECT w;
    GetWindowRect(m, &w);
    const int x = w.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    const POINT from{x, w.top + 2 + GetSystemMetrics(SM_CYVSCROLL) + 2}, to{x, w.bottom + 40};
    QueueMouseEvent(MouseEvent{MouseEvent::Move, from});
    QueueMouseEvent(MouseEvent{MouseEvent::Down, from, MouseButton::Left});
    QueueMouseEvent(MouseEvent{MouseEvent::Move, to});
    QueueMouseEvent(MouseEvent{MouseEvent::Up, to, MouseButton::Left});
    Pump();
    EXPECT_EQ(FirstVisible(m), 70000 - page);
}

}  // namespace
}  // namespace win::testing
