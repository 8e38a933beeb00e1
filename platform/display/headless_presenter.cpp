// Input injection and screenshots without a display.
#include "platform/display/headless_presenter.h"

#include "platform/user/system_metrics.h"

namespace display {

HeadlessPresenter::HeadlessPresenter(int width, int height) {
    Resize(width, height);
}

void HeadlessPresenter::Resize(int width, int height) {
    win::SetVirtualScreenSize(width, height);
}

void HeadlessPresenter::MoveMouse(int x, int y) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Move, win::POINT{x, y}});
}

void HeadlessPresenter::Press(int x, int y, win::MouseButton button) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Down, win::POINT{x, y}, button});
}

void HeadlessPresenter::Release(int x, int y, win::MouseButton button) {
    win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, win::POINT{x, y}, button});
}

void HeadlessPresenter::Click(int x, int y, win::MouseButton button) {
    MoveMouse(x, y);
    Press(x, y, button);
    Release(x, y, button);
}

void HeadlessPresenter::Type(win::UINT vk, unsigned char ch) {
    win::QueueKeyEvent(win::KeyEvent{vk, true, ch});
    win::QueueKeyEvent(win::KeyEvent{vk, false, ch});
}

bool HeadlessPresenter::Screenshot(const std::string& pngPath) const {
    return WritePng(CaptureScreen(), pngPath);
}

}  // namespace display
