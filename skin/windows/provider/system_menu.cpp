// The skinned system menu.
#include "skin/windows/provider/system_menu.h"

#include "skin/windows/provider/skin_provider.h"

namespace skin {

void TsSkinProvider::DropSysMenu(int, int) {}

}  // namespace skin
