// The modal loop shared by the tracking operations.
#include "platform/user/modal_loop.h"

#include "platform/user/gui_thread.h"
#include "platform/user/message_queue.h"
#include "platform/user/timers.h"

namespace win::detail {

void RunModalLoop(const std::function<bool(const MSG&)>& input, const std::function<void()>& idle) {
    for (;;) {
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (idle) {
                idle();
                if (input(MSG{nullptr, WM_NULL, 0, 0, 0, {}})) return;  // idle work ended it
            }
            CurrentEventSource().Wait(MsUntilNextTimer());
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            return;
        }
        bool isInput = (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                       (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
                       (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK);
        if (isInput) {
            if (input(m)) return;
            continue;
        }
        DispatchMessageA(&m);
        if (input(MSG{nullptr, WM_NULL, 0, 0, 0, {}})) return;  // lets the caller notice changes
    }
}

}  // namespace win::detail
