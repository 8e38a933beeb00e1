// The GUI thread and the ways other threads reach it.
//
// Windows belong to one thread, the GUI thread: the first thread that uses the windowing layer,
// unless BindGuiThread named another. Other threads may post messages (PostMessage is safe from
// any thread) and hand calls to the GUI thread: PostToGuiThread queues a call and returns;
// RunOnGuiThread waits until it has run and raises its exception again in the caller. Queued
// calls run inside PeekMessage/GetMessage, before any message is taken.
#pragma once

#include <cstdint>
#include <functional>

namespace win {

// Makes the calling thread the GUI thread.
void BindGuiThread();

void PostToGuiThread(std::function<void()> call);
void RunOnGuiThread(const std::function<void()>& call);
// Runs the queued calls now; true when any ran. Only on the GUI thread.
bool RunPendingGuiCalls();

// What the message loop waits on when it has nothing to do. A presenter installs its own, so
// the loop also wakes for the events of its display connection.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Waits at most `timeoutMs` (kInfinite: no limit) for input or for Wake; called on the GUI
    // thread. May feed input (QueueMouseEvent, QueueKeyEvent) before returning.
    virtual void Wait(uint32_t timeoutMs) = 0;
    // Takes the input that has already come, without waiting, and may bring the display up to
    // date; every retrieval of messages calls it, so loops that never wait (a long operation
    // pumping between steps, modal and tracking loops) still see the operator.
    virtual void Poll() {}
    // Ends a Wait in progress or the next one; called from any thread.
    virtual void Wake() = 0;
};

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

// nullptr puts back the built-in source.
void SetEventSource(EventSource* source);
EventSource& CurrentEventSource();

namespace detail {
bool OnGuiThread();
}

}  // namespace win
