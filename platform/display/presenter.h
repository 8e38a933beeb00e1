// The presenter the program shows its virtual screen with, chosen at start-up: the X11
// presenter when DISPLAY names a display that can be opened, the headless one otherwise.
#pragma once

#include <memory>

namespace display {

enum class PresenterKind { Headless, X11 };

class Presenter {
public:
    virtual ~Presenter() = default;
    virtual PresenterKind Kind() const = 0;
};

// The headless screen has the given size; on X11 the screen is the X screen's.
std::unique_ptr<Presenter> OpenPresenter(int width = 1280, int height = 800);

}  // namespace display
