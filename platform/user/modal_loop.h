// A message loop inside a modal operation (move, size, menus, scroll bar dragging): input goes to
// the operation, everything else is dispatched as usual, and WM_QUIT ends the loop and is posted
// again for the outer loop.
#pragma once

#include <functional>

#include "platform/user/win_types.h"

namespace win::detail {

// `input` sees every mouse and keyboard message and answers true to end the loop. `idle` runs
// whenever the queue is empty (may be empty), before waiting.
void RunModalLoop(const std::function<bool(const MSG&)>& input,
                  const std::function<void()>& idle = {});

}  // namespace win::detail
