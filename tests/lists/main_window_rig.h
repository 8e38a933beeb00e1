// The main window on the headless screen over a temporary database and settings store, driven
// by the operator's mouse and keys; message boxes are written down and answered (WindowRig).
#pragma once

#include <string>

#include "lists/form_main.h"
#include "tests/gateway/window_rig.h"

namespace lists_test {

// The application's form of class T, or nullptr.
template <typename T>
T* FindForm() {
    for (int i = 0; i < vcl::Screen()->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(vcl::Screen()->Forms(i))) return f;
    return nullptr;
}

class MainWindowRig : public gateway_test::WindowRig {
public:
    MainWindowRig();
    ~MainWindowRig();

    // Handles every waiting message; Idle also lets the application's idle work run once.
    void Pump();
    void Idle();
    // A click in the middle of a control, handled before it returns.
    void Click(vcl::TControl* control);
    void ClickCell(int col, int row);
    void Press(win::UINT vk);
    void TypeText(const std::string& text);
    // The next file dialog gets `path` (cp1251) typed into its name field, then Enter.
    void AnswerFileDialog(const std::string& path);
    // A pixel of the screen at a point of the control's client area, as 0xRRGGBB.
    uint32_t Pixel(vcl::TControl* control, int x, int y);
    // The grid's cells from row 1 and column 1 on.
    std::vector<std::vector<std::string>> Cells();
    int64_t Count(const std::string& sql);
    void Exec(const std::string& sql);

    testing_support::ScopedEnv config;  // a settings store of the test's own
    lists::TformMain* form = nullptr;
};

}  // namespace lists_test
