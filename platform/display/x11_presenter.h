// The X11 presenter: one X window shows the virtual screen.
//
// The screen follows the window's size. When the message loop has nothing to do it waits here,
// on the X connection (and on a pipe that Wake writes to, from any thread); before waiting it
// puts the parts of the screen damaged since the last time into the window, and nothing else.
// Loops that never wait (a long operation pumping between its steps, modal and tracking loops)
// reach it through Poll at every retrieval of messages: the events already come are taken, and
// the damage is put at most every kPresentIntervalMs of the platform clock.
// Mouse buttons, motion and the wheel, keys with the cp1251 character they type, and the
// window's focus are fed to the windowing layer's input queue. The mouse cursor takes the
// shape of the current cursor. The clipboard is shared with other X programs through the
// CLIPBOARD selection as UTF-8 text. Closing the window asks the first owner of every shown
// top-level window to close.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/display/presenter.h"
#include "platform/user/clipboard.h"
#include "platform/user/gui_thread.h"

namespace display {

class X11Presenter : public Presenter, public win::EventSource, public win::ClipboardBridge {
public:
    // Connects to `displayName` (nullptr: $DISPLAY), makes and maps the window and installs the
    // presenter as the event source and clipboard bridge; nullptr when the display cannot be
    // opened or has no true-colour visual.
    static std::unique_ptr<X11Presenter> Open(const char* displayName, int width, int height);
    ~X11Presenter() override;
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    PresenterKind Kind() const override { return PresenterKind::X11; }

    // Brings the window up to date with the screen now.
    void Present();
    // The X window's id, and what the last Present put into it.
    unsigned long WindowId() const;
    struct PresentStats {
        int rects = 0;
        long pixels = 0;
    };
    PresentStats LastPresent() const;
    // How many times the window was brought up to date.
    long Presents() const;
    static constexpr uint32_t kPresentIntervalMs = 16;

    void Wait(uint32_t timeoutMs) override;
    void Poll() override;
    void Wake() override;
    void Offer(const std::string& text) override;
    std::optional<std::string> Take() override;

    struct State;

private:
    explicit X11Presenter(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

}  // namespace display
