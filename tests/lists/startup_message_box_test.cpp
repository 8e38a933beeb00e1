#include "lists/startup_message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/os/clock.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "tests/support/watchdog.h"
#include "vcl/controls/forms.h"

namespace {

// What the box looked like when it came up.
struct Seen {
    std::string caption, text;
    win::HWND owner = nullptr;
    bool icon = false;
    int boxes = 0;
};
Seen gSeen;

win::LRESULT WatchBoxes(int code, win::WPARAM w, win::LPARAM l) {
    if (code == win::HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<win::HWND>(w);
        char buf[256] = {};
        win::GetWindowTextA(box, buf, sizeof buf);
        gSeen.caption = buf;
        win::GetDlgItemTextA(box, win::kMessageBoxTextId, buf, sizeof buf);
        gSeen.text = buf;
        gSeen.owner = win::GetWindow(box, win::GW_OWNER);
        gSeen.icon = win::GetDlgItem(box, win::kMessageBoxIconId) != nullptr;
        ++gSeen.boxes;
    }
    return win::CallNextHookEx(nullptr, code, w, l);
}

class LimitBox : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        gSeen = {};
        hook_ = win::SetWindowsHookExA(win::WH_CBT, WatchBoxes, nullptr, 0);
    }
    void TearDown() override {
        win::UnhookWindowsHookEx(hook_);
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    const std::string text = "Нельзя запускать более 20 экземпляров Tessary. "_cp;
    const std::string caption = "Внимание"_cp;
    testing_support::Watchdog watchdog_;
    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    win::HHOOK hook_ = nullptr;
};

TEST_F(LimitBox, IsOwnedByTheApplicationWindowAndAnsweredByTheOperator) {
    win::QueueKeyEvent({win::VK_SPACE, true, ' '});
    win::QueueKeyEvent({win::VK_SPACE, false, 0});
    testing::internal::CaptureStderr();
    lists::MessageBoxLimitReporter reporter;
    reporter.Show(text, caption, lists::kIconStop);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // someone saw the box
    EXPECT_EQ(gSeen.boxes, 1);
    EXPECT_EQ(gSeen.caption, caption);
    EXPECT_EQ(gSeen.text, text);
    EXPECT_TRUE(gSeen.icon);
    EXPECT_EQ(gSeen.owner, vcl::Application()->Handle());
    EXPECT_EQ(vcl::Screen()->FormCount(), 0);  // no form was needed
}

TEST_F(LimitBox, UnattendedItAlsoWritesTheTextAndClosesByItself) {
    testing::internal::CaptureStderr();
    lists::MessageBoxLimitReporter reporter(/*unattended=*/true);
    reporter.Show(text, caption, lists::kIconStop);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Внимание: Нельзя запускать более 20 экземпляров Tessary."),
              std::string::npos)
        << err;
    EXPECT_EQ(gSeen.boxes, 1);
    EXPECT_EQ(gSeen.text, text);
}

}  // namespace
