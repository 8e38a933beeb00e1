// Making a window layered and see-through while its first picture is not ready.
#pragma once

#include "platform/user/win_types.h"

namespace skin {

// With `on`: makes a window that is not layered yet layered, showing an empty picture at
// constant alpha 10; answers whether it did. Without: takes WS_EX_LAYERED off again; answers
// whether the window was layered.
bool SetLayeredTransparent(win::HWND wnd, bool on);

}  // namespace skin
