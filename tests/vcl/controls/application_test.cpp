#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/user/message_box.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl::testing {
namespace {

// The message boxes that came up: caption and text.
struct Boxes {
    Boxes() {
        seen = this;
        hook = win::SetWindowsHookExA(win::WH_CBT, Proc, nullptr, 0);
    }
    ~Boxes() {
        win::UnhookWindowsHookEx(hook);
        seen = nullptr;
    }
    static win::LRESULT Proc(int code, win::WPARAM w, win::LPARAM l) {
        const auto h = reinterpret_cast<win::HWND>(w);
        if (code == win::HCBT_ACTIVATE && seen && !FindControl(h)) {
            char buf[256] = {};
            win::GetWindowTextA(h, buf, sizeof buf);
            std::string s = buf;
            win::GetDlgItemTextA(h, win::kMessageBoxTextId, buf, sizeof buf);
            seen->shown.push_back(s + "|" + buf);
        }
        return win::CallNextHookEx(nullptr, code, w, l);
    }
    static inline Boxes* seen = nullptr;
    win::HHOOK hook;
    std::vector<std::string> shown;
};

class ApplicationTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(100, 100, 400, 300);
    }
    // One turn of the loop with nothing to do: the idle work, then the wait for what is due
    // next (the fake clock moves on to it; a far-off timer ends a wait for nothing).
    void IdleTurn() {
        Pump();
        win::SetTimer(Application()->Handle(), kWakeTimer, 60000, nullptr);
        Application()->HandleMessage();
        win::KillTimer(Application()->Handle(), kWakeTimer);
    }
    static constexpr win::UINT_PTR kWakeTimer = 99;
    TForm* form = nullptr;
};

TEST_F(ApplicationTest, HintsShowAfterThePauseAndHideAgain) {
    auto* start = New<TLabel>(form);
    start->SetParent(form);
    start->SetBounds(10, 10, 80, 17);
    start->SetHint("Start|Starts the mailing");
    start->SetShowHint(true);
    auto* plain = New<TLabel>(form);
    plain->SetParent(form);
    plain->SetBounds(10, 50, 80, 17);
    int hintChanges = 0;
    Application()->OnHint = TNotifyEvent::FromCallable([&](TObject*) { ++hintChanges; });
    form->Show();
    Pump();

    const TPoint p = ScreenCentre(start);
    QueueMove(p.X, p.Y);
    const uint32_t before = os::GetTickCount();
    IdleTurn();
    EXPECT_EQ(Application()->Hint, "Start|Starts the mailing");
    EXPECT_EQ(hintChanges, 1);
    EXPECT_EQ(os::GetTickCount() - before, static_cast<uint32_t>(Application()->HintPause));
    Pump();  // the pause is over
    THintWindow* hint = Application()->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(win::IsWindowVisible(hint->Handle()));
    EXPECT_EQ(hint->Caption(), "Start");  // the short part before "|"
    EXPECT_EQ(hint->Top(), p.Y + 20);
    EXPECT_EQ(hint->Left(), p.X);

    IdleTurn();  // until the hide pause is over
    Pump();
    EXPECT_FALSE(win::IsWindowVisible(hint->Handle()));

    // Over a control without a hint, the application's hint is empty again.
    const TPoint q = ScreenCentre(plain);
    QueueMove(q.X, q.Y);
    IdleTurn();
    EXPECT_EQ(Application()->Hint, "");
    EXPECT_EQ(hintChanges, 2);

    // With hints off, none comes up.
    Application()->SetShowHint(false);
    QueueMove(p.X, p.Y);
    IdleTurn();
    IdleTurn();
    EXPECT_FALSE(win::IsWindowVisible(hint->Handle()));
    // A key cancels a hint that is waiting for its pause.
    Application()->SetShowHint(true);
    QueueMove(q.X, q.Y);
    IdleTurn();
    QueueMove(p.X, p.Y);
    Pump();
    Application()->HandleMessage();  // the idle work sets the pause going
    QueueKey(win::VK_SHIFT);
    clock_.Advance(2000);
    Pump();
    EXPECT_FALSE(win::IsWindowVisible(hint->Handle()));
}

TEST_F(ApplicationTest, OnShowHintShapesTheHintAndANewHintClassServesTheNextOne) {
    auto* start = New<TLabel>(form);
    start->SetParent(form);
    start->SetBounds(10, 10, 80, 17);
    start->SetHint("Start");
    start->SetShowHint(true);
    form->Show();
    Pump();
    int shown = 0;
    bool refuse = false;
    Application()->OnShowHint =
        TShowHintEvent::FromCallable([&](std::string& text, bool& canShow, THintInfo& info) {
            ++shown;
            EXPECT_EQ(info.HintControl, start);
            EXPECT_EQ(info.HintMaxWidth, Screen()->Width());
            text = "Other";
            info.HintPos.X += 7;
            canShow = !refuse;
        });
    const TPoint p = ScreenCentre(start);
    QueueMove(p.X, p.Y);
    IdleTurn();
    Pump();  // the pause is over
    THintWindow* hint = Application()->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), "Other");
    EXPECT_EQ(hint->Left(), p.X + 7);
    EXPECT_EQ(hint->Top(), p.Y + 20);
    // A window of a class set afterwards serves the next hint; the first one is freed.
    int made = 0;
    Application()->SetHintWindowClass([&](TComponent* owner) {
        ++made;
        return New<THintWindow>(owner);
    });
    Application()->CancelHint();
    Application()->ActivateHint({p.X, p.Y});
    EXPECT_EQ(made, 1);
    EXPECT_NE(Application()->HintWindow(), nullptr);
    Application()->CancelHint();
    Application()->ActivateHint({p.X, p.Y});
    EXPECT_EQ(made, 1);  // kept while the class stays
    refuse = true;
    Application()->CancelHint();
    Application()->ActivateHint({p.X, p.Y});
    EXPECT_FALSE(win::IsWindowVisible(Application()->HintWindow()->Handle()));
    EXPECT_EQ(shown, 4);
    Application()->OnShowHint = {};
    Application()->SetHintWindowClass({});
}

TEST_F(ApplicationTest, IdleAndMessageEventsReachEveryApplicationEventsComponent) {
    auto* first = New<TApplicationEvents>(form);
    auto* second = New<TApplicationEvents>(form);
    int idles = 0, firstIdles = 0, secondIdles = 0;
    bool more = false;  // a handler that has more to do keeps the loop from waiting
    Application()->OnIdle = TIdleEvent::FromCallable([&](TObject*, bool&) { ++idles; });
    first->OnIdle = TIdleEvent::FromCallable([&](TObject*, bool& done) {
        ++firstIdles;
        if (more) done = false;
    });
    second->OnIdle = TIdleEvent::FromCallable([&](TObject*, bool&) { ++secondIdles; });
    uint32_t t = os::GetTickCount();
    IdleTurn();
    EXPECT_EQ(idles, 1);
    EXPECT_EQ(firstIdles, 1);
    EXPECT_EQ(secondIdles, 1);
    EXPECT_GT(os::GetTickCount(), t);  // it waited
    more = true;
    t = os::GetTickCount();
    IdleTurn();
    EXPECT_EQ(os::GetTickCount(), t);  // it did not
    second->Free();                    // gone from the application's list
    IdleTurn();
    EXPECT_EQ(firstIdles, 3);
    EXPECT_EQ(secondIdles, 2);

    // A handled message goes no further.
    form->HandleNeeded();
    std::vector<uint32_t> reached;
    const TWndMethod formProc = form->WindowProc;
    form->WindowProc = TWndMethod::FromCallable([&](TMessage& m) {
        if (m.Msg >= win::WM_USER) reached.push_back(m.Msg);
        formProc(m);
    });
    first->OnMessage = TMessageEvent::FromCallable(
        [](win::MSG& msg, bool& handled) { handled = msg.message == win::WM_USER + 1; });
    win::PostMessageA(form->Handle(), win::WM_USER + 1, 0, 0);
    win::PostMessageA(form->Handle(), win::WM_USER + 2, 0, 0);
    Pump();
    EXPECT_EQ(reached, std::vector<uint32_t>{win::WM_USER + 2});
    form->WindowProc = formProc;
}

// A modal form with a message box over it: one begin and one end for the whole, heard by the
// application and by every events component, the level back to 0 even when the loop fails.
TEST_F(ApplicationTest, ModalLoopsAreBracketedOnceHoweverDeepTheyNest) {
    auto* events = New<TApplicationEvents>(form);
    std::vector<std::string> heard;
    Application()->OnModalBegin =
        TNotifyEvent::FromCallable([&](TObject*) { heard.push_back("b"); });
    Application()->OnModalEnd = TNotifyEvent::FromCallable([&](TObject*) { heard.push_back("e"); });
    events->OnModalBegin = TNotifyEvent::FromCallable([&](TObject*) { heard.push_back("B"); });
    events->OnModalEnd = TNotifyEvent::FromCallable([&](TObject*) { heard.push_back("E"); });
    std::unique_ptr<TForm, FreeDeleter> dialog(New<TForm>(Application()));
    int levelInBox = 0;
    dialog->OnShow = TNotifyEvent::FromCallable([&](TObject*) {
        QueueKey(win::VK_RETURN, '\r');
        Application()->MessageBox("text", "caption", win::MB_OK);
        levelInBox = Application()->ModalLevel();
        dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(levelInBox, 1) << "the box's own bracket is closed, the form's still open";
    EXPECT_EQ(heard, (std::vector<std::string>{"b", "B", "e", "E"}));
    EXPECT_EQ(Application()->ModalLevel(), 0);

    heard.clear();
    dialog->OnShow = TNotifyEvent::FromCallable([](TObject*) { throw EAbort("gone"); });
    EXPECT_THROW(dialog->ShowModal(), EAbort);
    EXPECT_EQ(heard, (std::vector<std::string>{"b", "B", "e", "E"}));
    EXPECT_EQ(Application()->ModalLevel(), 0);
    Application()->ModalFinished();  // unbalanced: ignored
    EXPECT_EQ(Application()->ModalLevel(), 0);
    EXPECT_EQ(heard.size(), 4u);
}

TEST_F(ApplicationTest, ErrorsInHandlersAreShownOrPassedToTheHandler) {
    auto* button = New<TButton>(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 75, 25);
    std::string raise;
    button->OnClick = TNotifyEvent::FromCallable([&](TObject*) {
        if (raise == "abort") throw EAbort("quiet");
        throw EConvertError(raise);
    });
    form->Show();
    Pump();
    Boxes boxes;
    auto clickAndAnswer = [&](const std::string& text) {
        raise = text;
        QueueClick(button);
        QueueKey(win::VK_RETURN, '\r');  // answers the box, if one comes
        Pump();
    };
    Application()->SetTitle("Tessary");
    clickAndAnswer("'x' is not a valid integer value");
    clickAndAnswer("Done.");
    clickAndAnswer("abort");  // EAbort is silent
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Tessary|'x' is not a valid integer value.",
                                                     "Tessary|Done."}));
    // With a handler, the handler has it and no box comes.
    auto* events = New<TApplicationEvents>(form);
    std::string handled;
    events->OnException = TExceptionEvent::FromCallable(
        [&](TObject*, const std::exception& e) { handled = e.what(); });
    clickAndAnswer("to the handler");
    EXPECT_EQ(handled, "to the handler");
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(ApplicationTest, TheScreenKnowsItsFormsSizeAndWorkArea) {
    win::SetVirtualScreenSize(800, 600);
    TForm* other = nullptr;
    Application()->CreateForm(other);
    EXPECT_EQ(Screen()->Width(), 800);
    EXPECT_EQ(Screen()->Height(), 600);
    const TRect area = Screen()->WorkAreaRect();
    EXPECT_FALSE(area.IsEmpty());
    EXPECT_LE(area.Right, 800);
    EXPECT_LE(area.Bottom, 600);
    other->SetBounds(0, 0, 200, 100);
    other->SetPosition(poScreenCenter);
    form->Show();
    other->Show();
    Pump();
    EXPECT_EQ(other->Left(), area.Left + (area.Width() - 200) / 2);
    EXPECT_EQ(other->Top(), area.Top + (area.Height() - 100) / 2);
    // The most recently active form comes first.
    EXPECT_EQ(Screen()->ActiveForm(), other);
    EXPECT_EQ(Screen()->Forms(0), other);
    form->Show();
    Pump();
    EXPECT_EQ(Screen()->ActiveForm(), form);
    EXPECT_EQ(Screen()->Forms(0), form);
    EXPECT_EQ(Screen()->FormCount(), 2);
    other->Free();
    EXPECT_EQ(Screen()->FormCount(), 1);
    EXPECT_THROW(Screen()->Forms(1), EListError);
}

TEST_F(ApplicationTest, RunEndsWhenTheMainFormClosesAndHooksSeeTheApplicationWindow) {
    std::vector<uint32_t> hooked;
    bool swallow = true;
    const TWindowHook hook = TWindowHook::FromCallable([&](TMessage& m) {
        if (m.Msg >= win::WM_USER) hooked.push_back(m.Msg);
        return swallow && m.Msg == win::WM_USER + 7;
    });
    Application()->HookMainWindow(hook);
    Application()->HookMainWindow(hook);  // once only
    win::SendMessageA(Application()->Handle(), win::WM_USER + 7, 0, 0);
    Application()->UnhookMainWindow(hook);
    win::SendMessageA(Application()->Handle(), win::WM_USER + 8, 0, 0);
    EXPECT_EQ(hooked, std::vector<uint32_t>{win::WM_USER + 7});

    int shown = 0;
    form->OnShow = TNotifyEvent::FromCallable([&](TObject*) {
        ++shown;
        win::PostMessageA(form->Handle(), win::WM_CLOSE, 0, 0);
    });
    Application()->Run();  // shows the main form; its closing ends the loop
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(Application()->Terminated());
}

}  // namespace
}  // namespace vcl::testing
