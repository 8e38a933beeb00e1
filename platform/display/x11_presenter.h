// The X11 presenter: every shown top-level window is a window of the X desktop (X11WindowMap).
//
// The virtual screen is the X screen's size. When the message loop has nothing to do it waits
// here, on the X connection (and on a pipe that Wake writes to, from any thread); before waiting
// it brings the X windows in line with the windowing layer and puts the parts of the screen
// damaged since the last time into them, and nothing else.
// Loops that never wait (a long operation pumping between its steps, modal and tracking loops)
// reach it through Poll at every retrieval of messages: the events already come are taken, and
// the damage is put at most every kPresentIntervalMs of the platform clock.
// Mouse buttons, motion and the wheel, keys with the cp1251 character they type, and the
// focus (with the keys held at each change of it) are fed to the windowing layer's input queue,
// at screen points. A window manager's move or resize moves the window. The mouse cursor takes the
// shape of the current cursor. The clipboard is shared with other X programs through the CLIPBOARD
// selection as UTF-8 text. The desktop's close box on a window sends it SC_CLOSE, unless it is
// disabled.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/display/presenter.h"
#include "platform/user/clipboard.h"
#include "platform/user/gui_thread.h"
#include "platform/user/win_types.h"

namespace display {

class X11Presenter : public Presenter, public win::EventSource, public win::ClipboardBridge {
public:
    // Connects to `displayName` (nullptr: $DISPLAY), sizes the virtual screen to the X screen and
    // installs the presenter as the event source and clipboard bridge; nullptr when the display
    // cannot be opened or has no true-colour visual.
    static std::unique_ptr<X11Presenter> Open(const char* displayName);
    ~X11Presenter() override;
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    PresenterKind Kind() const override { return PresenterKind::X11; }

    // Brings the X windows up to date with the screen now.
    void Present();
    // The X window showing a top-level window (0: none), and what the last Present put.
    unsigned long XWindowOf(win::HWND hwnd) const;
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
