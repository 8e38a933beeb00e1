// Damage of the virtual screen, collected for the compositor.
#include "platform/user/internal.h"

namespace win::detail {

void NoteScreenChange(Window*, const RECT&) {}

}  // namespace win::detail
