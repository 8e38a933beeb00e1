#include "window_rig.h"

#include <gtest/gtest.h>

#include "gateway/program_images.h"
#include "platform/controls/standard_controls.h"
#include "platform/user/hooks.h"
#include "platform/user/message_box.h"
#include "platform/user/timers.h"
#include "platform/user/user.h"
#include "skin/controls/window_services.h"

namespace gateway_test {

TestMainWindow::TestMainWindow(const std::string& folder)
    : data(folder), images(vcl::New<vcl::TImageList>(nullptr)) {
    gateway::FillProgramImages(images);
    gateway::SetMainWindowLink(this);
}

TestMainWindow::~TestMainWindow() {
    gateway::SetMainWindowLink(nullptr);
    images->Free();
}

WindowRig::WindowRig() : tablesMade((db::CreateMissingTables(dir.path()), true)) {
    win::ResetWindowing();
    win::RegisterStandardControls();
    skin::InitSkinControls();
    screen.Resize(1024, 768);
    main = std::make_unique<TestMainWindow>(dir.path());
    current_ = this;
    timer_ = win::SetTimer(nullptr, 0, 100, Tick);
    hook_ = win::SetWindowsHookExA(win::WH_CBT, BoxHook, nullptr, 0);
}

WindowRig::~WindowRig() {
    win::UnhookWindowsHookEx(hook_);
    win::KillTimer(nullptr, timer_);
    current_ = nullptr;
    vcl::DoneApplication();
    main.reset();
    sql::CloseSharedDatabases();
    win::ResetWindowing();
}

void WindowRig::Click(vcl::TControl* c) {
    const vcl::TPoint p = c->ClientToScreen({c->Width() / 2, c->Height() / 2});
    screen.Click(p.X, p.Y);
}

void WindowRig::Key(win::UINT vk, unsigned char ch) {
    screen.Type(vk, ch);
}

void WindowRig::Type(const std::string& text) {
    for (char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        const bool key = (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z');
        screen.Type(key ? ch : (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : 0, ch);
    }
}

void WindowRig::Then(const std::string& label, std::function<bool()> when,
                     std::function<void()> act) {
    steps_.push_back({label, std::move(when), std::move(act)});
}

void WindowRig::Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    WindowRig* r = current_;
    if (!r || r->steps_.empty()) return;
    if (!r->steps_.front().when()) {
        if (++r->waited_ < r->stepLimit) return;
        ADD_FAILURE() << "still waiting for: " << r->steps_.front().label;
        r->steps_.clear();
        if (r->giveUp) r->giveUp();
        return;
    }
    r->waited_ = 0;
    Step step = std::move(r->steps_.front());
    r->steps_.pop_front();
    step.act();
}

// A message box coming up: written down, and its button clicked once it is shown.
win::LRESULT WindowRig::BoxHook(int code, win::WPARAM w, win::LPARAM l) {
    WindowRig* r = current_;
    const auto h = reinterpret_cast<win::HWND>(w);
    if (code == win::HCBT_ACTIVATE && r && win::GetDlgItem(h, win::kMessageBoxTextId)) {
        char buf[1024] = {};
        win::GetWindowTextA(h, buf, sizeof buf);
        ShownBox box{buf, {}, win::IDOK};
        win::GetDlgItemTextA(h, win::kMessageBoxTextId, buf, sizeof buf);
        box.text = buf;
        if (!r->answers.empty()) {
            box.answer = r->answers.front();
            r->answers.pop_front();
        }
        win::RECT rc{};
        win::HWND button = win::GetDlgItem(h, box.answer);
        if (r->answerBoxes && button && win::GetWindowRect(button, &rc))
            r->screen.Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        r->boxes.push_back(std::move(box));
    }
    return win::CallNextHookEx(nullptr, code, w, l);
}

std::string Caption(vcl::TControl* control) {
    return control->Text();
}

}  // namespace gateway_test
