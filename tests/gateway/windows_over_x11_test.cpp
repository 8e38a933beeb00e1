// The mailing window on a virtual X server, driven by real pointer clicks (XTest): a run's own
// waits must take the operator's input and show the window as it changes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "platform/display/x11_presenter.h"
#include "platform/os/cp_literal.h"
#include "pty_modem.h"
#include "run_rig.h"
#include "tests/support/virtual_x_server.h"
#include "window_rig.h"

// Xlib's macros clash with the windowing names, so it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// A connection of its own to the server: the operator's hand and eye.
class Operator {
public:
    explicit Operator(const char* name) : dpy_(XOpenDisplay(name)) {}
    ~Operator() {
        if (dpy_) XCloseDisplay(dpy_);
    }
    bool Ok() const {
        int event, error, major, minor;
        return dpy_ && XTestQueryExtension(dpy_, &event, &error, &major, &minor);
    }
    // A left click in the middle of the control, through the server's own pointer.
    void Click(vcl::TControl* c) {
        const vcl::TPoint p = c->ClientToScreen({c->Width() / 2, c->Height() / 2});
        XTestFakeMotionEvent(dpy_, -1, p.X, p.Y, CurrentTime);
        XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
        XFlush(dpy_);
    }
    // A key pressed and released on the server's keyboard.
    void Key(unsigned long keysym) {
        const KeyCode code = XKeysymToKeycode(dpy_, keysym);
        XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
        XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
        XFlush(dpy_);
    }
    // The pixels the server shows for the control on its screen.
    std::vector<unsigned long> Look(vcl::TControl* c) {
        const vcl::TPoint p = c->ClientToScreen({0, 0});
        std::vector<unsigned long> out;
        XImage* img = XGetImage(dpy_, DefaultRootWindow(dpy_), p.X, p.Y, unsigned(c->Width()),
                                unsigned(c->Height()), AllPlanes, ZPixmap);
        if (img == nullptr) return out;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                out.push_back(XGetPixel(img, x, y));
        XDestroyImage(img);
        return out;
    }

private:
    Display* dpy_;
};

TEST(MailingWindowOnX11, StopClickedDuringARunEndsItAndTheCountersShowOnTheScreen) {
    testing_support::VirtualXServer server;
    if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
    Operator hand(server.Name());
    if (!hand.Ok()) GTEST_SKIP() << "the server has no XTest";
    gateway_test::PtyModem modem;
    gateway_test::WindowRig rig;
    rig.stepLimit = 600;  // 60 s
    auto x11 = display::X11Presenter::Open(server.Name());
    ASSERT_NE(x11, nullptr);
    gateway::TSettings& settings = rig.main->settings;
    settings.SMSDelay = 1;  // a second between messages: the run outlasts the clicks
    settings.ReportWaitForMins = 1;
    constexpr int kNumbers = 40;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < kNumbers; ++i)
        rows.push_back({"+7916" + std::to_string(1000000 + i)});
    const std::string name = "Клиенты"_cp, text = "Текст"_cp;
    const int list =
        gateway_test::RunRig::SaveRows(*sql::SharedDatabase(rig.dir.path()), name, text, rows);
    gateway::TformStart* form = nullptr;
    vcl::Application()->CreateForm(form);
    rig.giveUp = [&] {
        form->btnStopClick(form);
        form->SetModalResult(vcl::mrCancel);
    };
    std::vector<unsigned long> before;
    rig.Then(
        "the window on the X screen", [&] { return form->Visible() && form->btnStart->Enabled(); },
        [&] {
            form->Update();
            x11->Present();
            before = hand.Look(form->labProcessedValue);
            hand.Click(form->btnStart);
        });
    rig.Then(
        "the processed counter changed on the X screen",
        [&] {
            return !form->btnStart->Enabled() &&
                   hand.Look(form->labProcessedValue) != before;
        },
        [&] { hand.Click(form->btnStop); });
    rig.Then(
        "the run's end", [&] { return form->btnStart->Enabled(); },
        [&] { hand.Click(form->btnClose); });
    form->Execute(modem.pty.path(), list, name, text);
    EXPECT_TRUE(rig.ScriptDone());
    modem.Stop();
    const auto sent = modem.engine.PhoneView().size();
    EXPECT_GE(sent, 1u);
    EXPECT_LT(sent, std::size_t(kNumbers));
    x11.reset();
}

// Enter on the server's keyboard clicks the focused button; Escape cancels the dialog. The
// caption above the log, auto-sized, shows all of its text and ends where the log begins.
TEST(PortDialogOnX11, EnterAndEscapeFromTheKeyboard) {
    testing_support::VirtualXServer server;
    if (!server.Up()) GTEST_SKIP() << "no virtual X server could be started";
    Operator hand(server.Name());
    if (!hand.Ok()) GTEST_SKIP() << "the server has no XTest";
    gateway_test::WindowRig rig;
    rig.stepLimit = 100;
    auto x11 = display::X11Presenter::Open(server.Name());
    ASSERT_NE(x11, nullptr);
    gateway::TformGSM* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    dialog->SysClassTty = rig.dir / "none";
    rig.giveUp = [&] { dialog->SetModalResult(vcl::mrCancel); };
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            vcl::TCustomLabel* label = dialog->memoLog->BoundLabel()->Label();
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->Caption(), "Лог АТ-команд:"_cp);
            EXPECT_GE(label->Width(), label->Canvas()->TextWidth(label->Caption()));
            EXPECT_EQ(label->Top() + label->Height() + 2, dialog->memoLog->Top());
            dialog->btnTest->SetFocus();
            hand.Key(XK_Return);
        });
    rig.Then(
        "the test's message", [&] { return !rig.boxes.empty(); }, [&] { hand.Key(XK_Escape); });
    std::string port;
    dialog->Execute(port);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(rig.boxes.size(), 1u);
    EXPECT_FALSE(dialog->Selected);
    x11.reset();
}

}  // namespace
