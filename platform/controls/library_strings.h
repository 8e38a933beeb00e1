// The string tables of the system libraries whose texts the program shows as the system's own:
// the common-controls library's today label, as a Russian system answers it.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

// The module of a library the program asks for texts: "comctl32.dll" (any case, with or
// without the extension); nullptr for any other name.
HMODULE GetModuleHandleA(const char* name);
// Copies string `id` of the module's table into `buffer` (cut to `size` − 1 bytes, always
// ended by a zero) and answers its length; 0 when the module or the string is unknown. With
// `size` 0, `buffer` receives a pointer to the read-only text itself.
int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size);

// The common-controls library's "Today:" label.
inline constexpr UINT IDS_TODAY = 4163;

}  // namespace win
