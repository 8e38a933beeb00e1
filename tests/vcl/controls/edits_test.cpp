#include "vcl/controls/edits.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/edit_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl::testing {
namespace {

class EditsTest : public FormTest {
protected:
    void Show() {
        form->Show();
        Pump();
    }
    void Type(const std::string& text) {
        for (char c : text)
            QueueKey('A', static_cast<unsigned char>(c));
        Pump();
    }
    TNotifyEvent Counter(int& n) {
        return TNotifyEvent::FromCallable([&n](TObject*) { ++n; });
    }
    static uint32_t Style(TWinControl* c) {
        return static_cast<uint32_t>(win::GetWindowLongPtrA(c->Handle(), win::GWL_STYLE));
    }
    static uint32_t ExStyle(TWinControl* c) {
        return static_cast<uint32_t>(win::GetWindowLongPtrA(c->Handle(), win::GWL_EXSTYLE));
    }
};

TEST_F(EditsTest, TextSelectionAndOnChangeThroughTheWindow) {
    auto* e = Place<TEdit>(form, Bounds(10, 10, 121, 21));
    auto* other = Place<TEdit>(form, Bounds(10, 40, 121, 21));
    int changes = 0, changed = 0;
    e->OnChange = Counter(changes);
    Show();
    // CM_CHANGED goes out before OnChange, as the skin's controls expect.
    struct Spy : TObject {
        explicit Spy(TControl* c, int& n) : c(c), n(n), saved(c->WindowProc) {
            c->WindowProc = TWndMethod(this, &Spy::Proc);
        }
        void Proc(TMessage& m) {
            if (m.Msg == CM_CHANGED) ++n;
            saved(m);
        }
        TControl* c;
        int& n;
        TWndMethod saved;
    } spy(e, changed);
    e->SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(e->Modified());
    // Entering from the keyboard selects everything; typing replaces it.
    other->SetFocus();
    e->SetFocus();
    EXPECT_EQ(e->SelStart(), 0);
    EXPECT_EQ(e->SelLength(), 3);
    EXPECT_EQ(e->SelText(), "abc");
    Type("xyz");
    EXPECT_EQ(e->Text(), "xyz");
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(e->Modified());
    e->SetSelStart(1);
    e->SetSelLength(1);
    EXPECT_EQ(e->SelText(), "y");
    e->SetSelText("YY");
    EXPECT_EQ(e->Text(), "xYYz");
    e->SelectAll();
    e->CutToClipboard();
    EXPECT_EQ(e->Text(), "");
    e->PasteFromClipboard();
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "xYYzxYYz");
    EXPECT_TRUE(e->CanUndo());
    e->Undo();
    EXPECT_EQ(e->Text(), "xYYz");
    e->ClearUndo();
    EXPECT_FALSE(e->CanUndo());
    e->Clear();
    EXPECT_EQ(e->Text(), "");
    e->WindowProc = spy.saved;
}

TEST_F(EditsTest, PropertiesReachTheWindowAndSurviveItsRemaking) {
    auto* e = Place<TEdit>(form, Bounds(10, 10, 121, 21));
    e->SetMaxLength(4);
    e->SetPasswordChar('*');
    e->SetText("Mix");
    Show();
    e->SetFocus();
    e->SetSelStart(3);
    Type("ed!");
    EXPECT_EQ(e->Text(), "Mixe");
    EXPECT_EQ(win::SendMessageA(e->Handle(), win::EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_TRUE(Style(e) & win::ES_PASSWORD);
    // Styles that need a new window keep the text, the modified flag and the limit.
    const win::HWND before = e->Handle();
    e->SetCharCase(ecUpperCase);
    EXPECT_NE(e->Handle(), before);
    EXPECT_TRUE(Style(e) & win::ES_UPPERCASE);
    EXPECT_EQ(e->Text(), "Mixe");
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(win::SendMessageA(e->Handle(), win::EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_EQ(win::SendMessageA(e->Handle(), win::EM_GETPASSWORDCHAR, 0, 0), '*');
    e->SetMaxLength(0);
    e->SetPasswordChar(0);
    e->SetFocus();
    e->SetSelStart(4);
    Type("ёж"_cp);
    EXPECT_EQ(e->Text(), "MixeЁЖ"_cp);
    e->SetReadOnly(true);
    EXPECT_TRUE(Style(e) & win::ES_READONLY);
    Type("q");
    EXPECT_EQ(e->Text(), "MixeЁЖ"_cp);
    e->SetHideSelection(false);
    EXPECT_TRUE(Style(e) & win::ES_NOHIDESEL);
    EXPECT_TRUE(Style(e) & win::ES_READONLY);
    // The published properties are found by name, as the skin sets them.
    SetOrdProp(e, "ReadOnly", 0);
    EXPECT_FALSE(e->ReadOnly());
    EXPECT_EQ(GetOrdProp(e, "MaxLength"), 0);
    EXPECT_EQ(GetOrdProp(e, "CharCase"), ecUpperCase);
}

TEST_F(EditsTest, BorderCtl3DAndBevelMakeTheFrame) {
    auto* e = Place<TEdit>(form, Bounds(10, 10, 100, 24));
    Show();
    EXPECT_TRUE(ExStyle(e) & win::WS_EX_CLIENTEDGE);
    EXPECT_EQ(e->ClientWidth(), 96);
    e->SetCtl3D(false);
    EXPECT_FALSE(ExStyle(e) & win::WS_EX_CLIENTEDGE);
    EXPECT_TRUE(Style(e) & win::WS_BORDER);
    EXPECT_EQ(e->ClientWidth(), 98);
    e->SetBorderStyle(bsNone);
    EXPECT_FALSE(Style(e) & win::WS_BORDER);
    EXPECT_EQ(e->ClientWidth(), 100);
    e->SetBorderStyle(bsSingle);
    e->SetCtl3D(true);
    // A bevel of two edges goes around the sunken edge.
    e->SetBevelKind(bkTile);
    EXPECT_EQ(e->ClientWidth(), 92);
    EXPECT_EQ(e->ClientHeight(), 16);
    Pump();
    win::HDC dc = win::GetWindowDC(e->Handle());
    EXPECT_EQ(win::GetPixel(dc, 0, 0), win::GetSysColor(win::COLOR_BTNSHADOW));  // outer, lowered
    EXPECT_EQ(win::GetPixel(dc, 1, 1), win::GetSysColor(win::COLOR_BTNHIGHLIGHT));  // inner, raised
    EXPECT_EQ(win::GetPixel(dc, 2, 2), win::GetSysColor(win::COLOR_BTNSHADOW));     // the edge
    win::ReleaseDC(e->Handle(), dc);
    e->SetBevelInner(bvNone);
    EXPECT_EQ(e->ClientWidth(), 94);
    e->SetBevelKind(bkNone);
    EXPECT_EQ(e->ClientWidth(), 96);
}

TEST_F(EditsTest, ColorAndFontColorPaintTheFaceReadOnlyOrNot) {
    auto* e = Place<TEdit>(form, Bounds(10, 10, 100, 24));
    e->SetColor(clYellow);
    e->Font()->SetColor(clBlue);
    e->SetText("W");
    Show();
    auto face = [&] {
        win::UpdateWindow(e->Handle());
        win::HDC dc = win::GetDC(e->Handle());
        const win::COLORREF c = win::GetPixel(dc, 80, 10);
        win::ReleaseDC(e->Handle(), dc);
        return c;
    };
    EXPECT_EQ(face(), ColorToRGB(clYellow));
    e->SetReadOnly(true);  // the window asks WM_CTLCOLORSTATIC now: the same colour answers
    e->Invalidate();
    EXPECT_EQ(face(), ColorToRGB(clYellow));
    e->SetColor(clLime);
    EXPECT_EQ(face(), ColorToRGB(clLime));
}

TEST_F(EditsTest, MemoLinesWorkBeforeAndAfterTheWindow) {
    auto* m = Place<TMemo>(form, Bounds(10, 10, 150, 100));
    int changes = 0;
    m->OnChange = Counter(changes);
    m->Lines()->Add("one");
    m->Lines()->Add("two");
    EXPECT_FALSE(m->HandleAllocated());
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(m->Text(), "one\r\ntwo\r\n");
    Show();
    ASSERT_TRUE(m->HandleAllocated());
    EXPECT_TRUE(Style(m) & win::ES_MULTILINE);
    EXPECT_FALSE(Style(m) & win::ES_AUTOHSCROLL);
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(m->Lines()->Get(1), "two");
    m->Lines()->Insert(1, "mid");
    m->Lines()->Add("end");
    m->Lines()->Delete(0);
    m->Lines()->Put(0, "MID");
    EXPECT_EQ(m->Text(), "MID\r\ntwo\r\nend\r\n");
    EXPECT_EQ(m->Lines()->Count(), 3);
    EXPECT_EQ(changes, 4);
    // Line breaks of any kind come in as CR LF, all at once.
    m->Lines()->SetText("a\nb\rc");
    EXPECT_EQ(m->Text(), "a\r\nb\r\nc");
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(GetObjectProp(m, "Lines"), m->Lines());

    // Wrapped, a long paragraph is several lines on the screen, still one in the text.
    std::string words;
    for (int i = 0; i < 30; ++i)
        words += "word ";
    m->SetText(words);
    EXPECT_GT(m->Lines()->Count(), 3);
    EXPECT_EQ(m->Lines()->Text(), words);
    m->SetWordWrap(false);
    EXPECT_TRUE(Style(m) & win::ES_AUTOHSCROLL);
    EXPECT_EQ(m->Lines()->Count(), 1);
    m->SetScrollBars(ssBoth);
    EXPECT_TRUE(Style(m) & win::WS_VSCROLL);
    EXPECT_TRUE(Style(m) & win::WS_HSCROLL);
    EXPECT_EQ(m->Text(), words);
}

TEST_F(EditsTest, MemoTakesEnterAndTabOnlyWhenItWantsThem) {
    auto* m = Place<TMemo>(form, Bounds(10, 10, 150, 100));
    auto* next = Place<TEdit>(form, Bounds(10, 120, 100, 21));
    auto* ok = Place<TButton>(form, Bounds(200, 10, 75, 25));
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = Counter(clicks);
    Show();
    m->SetFocus();
    QueueKey(win::VK_RETURN, '\r');
    Type("x");
    Pump();
    EXPECT_EQ(m->Text(), "\r\nx");
    EXPECT_EQ(clicks, 0);
    m->SetWantReturns(false);
    QueueKey(win::VK_RETURN, '\r');
    Pump();
    EXPECT_EQ(m->Text(), "\r\nx");
    EXPECT_EQ(clicks, 1);
    QueueKey(win::VK_TAB, '\t');
    Pump();
    EXPECT_TRUE(next->Focused());
    m->SetWantTabs(true);
    m->SetFocus();
    QueueKey(win::VK_TAB, '\t');
    Pump();
    EXPECT_TRUE(m->Focused());
    EXPECT_EQ(m->Text(), "\r\nx\t");
}

}  // namespace
}  // namespace vcl::testing
