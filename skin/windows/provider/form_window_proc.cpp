// The form's window procedure while a provider skins it.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

void TsSkinProvider::FormWindowProc(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::CallOldWndProc(TMessage& m) {
    if (OldWndProc) OldWndProc(m);
}

}  // namespace skin
