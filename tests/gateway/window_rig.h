// The program's windows on the headless screen: a main window stand-in over a database of the
// test's own, the operator's mouse and keys through the headless presenter, message boxes that
// are written down and answered by a click on the button asked for, and a script of steps that a
// timer plays while the windows run their own message loops.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/data_sets.h"
#include "db/tables.h"
#include "gateway/main_window_link.h"
#include "platform/display/headless_presenter.h"
#include "platform/sql/shared_database.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/image_list.h"

namespace gateway_test {

// The main window as the mailing window and the port dialog see it.
class TestMainWindow : public gateway::TMainWindowLink {
public:
    explicit TestMainWindow(const std::string& folder);
    ~TestMainWindow() override;

    gateway::TSettings& Settings() override { return settings; }
    void SettingsChanged() override {}
    db::TMainDataSets DataSets() override { return data.Refs(); }
    vcl::TCustomImageList* AlphaImageList() override { return images; }
    void ShowForMailing(const std::string& imei, os::TDateTime startTime) override {
        journals.push_back({imei, startTime});
    }

    gateway::TSettings settings;
    db::TOwnDataSets data;
    vcl::TImageList* images;
    struct Journal {
        std::string imei;
        os::TDateTime start;
    };
    std::vector<Journal> journals;
};

struct ShownBox {
    std::string caption, text;
    int answer;  // the button clicked
};

class WindowRig {
public:
    WindowRig();
    ~WindowRig();

    // The operator: a click in the middle of a control, a key.
    void Click(vcl::TControl* control);
    void Key(win::UINT vk, unsigned char ch = 0);
    void Type(const std::string& text);  // characters only

    // The next message boxes are answered with these buttons, in order (IDOK when none is left).
    std::deque<int> answers;
    std::vector<ShownBox> boxes;
    // Off: boxes are still written down but wait for the test's own click.
    bool answerBoxes = true;

    // Steps played in order by a timer every 100 ms of (virtual) time: a step waits until its
    // condition holds, then acts. A step still waiting after `stepLimit` ticks fails the test,
    // drops the rest and calls `giveUp`, which should end the window's loop.
    void Then(const std::string& label, std::function<bool()> when, std::function<void()> act);
    bool ScriptDone() const { return steps_.empty(); }
    std::function<void()> giveUp;
    int stepLimit = 6000;

    testing_support::Watchdog watchdog{120};
    testing_support::TempDir dir;
    bool tablesMade;
    display::HeadlessPresenter screen;
    std::unique_ptr<TestMainWindow> main;

private:
    static void Tick(win::HWND, win::UINT, win::UINT_PTR, win::DWORD);
    static win::LRESULT BoxHook(int code, win::WPARAM w, win::LPARAM l);

    struct Step {
        std::string label;
        std::function<bool()> when;
        std::function<void()> act;
    };
    std::deque<Step> steps_;
    int waited_ = 0;  // ticks the first step has waited
    win::UINT_PTR timer_ = 0;
    win::HHOOK hook_ = nullptr;
    static inline WindowRig* current_ = nullptr;
};

// The caption of a control.
std::string Caption(vcl::TControl* control);

}  // namespace gateway_test
