// The headless presenter: the virtual screen without a display. Tests and scripts drive the
// program through it: they set the screen size, inject mouse and keys, and take screenshots.
#pragma once

#include <string>

#include "platform/display/presenter.h"
#include "platform/display/screenshot.h"
#include "platform/user/input.h"

namespace display {

class HeadlessPresenter : public Presenter {
public:
    explicit HeadlessPresenter(int width = 1280, int height = 800);
    PresenterKind Kind() const override { return PresenterKind::Headless; }

    void Resize(int width, int height);
    void MoveMouse(int x, int y);
    void Press(int x, int y, win::MouseButton button = win::MouseButton::Left);
    void Release(int x, int y, win::MouseButton button = win::MouseButton::Left);
    void Click(int x, int y, win::MouseButton button = win::MouseButton::Left);
    // A key press and release; `ch` is the cp1251 character it types, 0 for none.
    void Type(win::UINT vk, unsigned char ch = 0);
    bool Screenshot(const std::string& pngPath) const;
};

}  // namespace display
