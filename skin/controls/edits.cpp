#include "skin/controls/edits.h"

#include "platform/controls/edit_control.h"
#include "platform/user/user.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsEdit::Published() {
    return SkinProperties<TsEdit>();
}

std::vector<TPropInfo> TsMaskEdit::Published() {
    return SkinProperties<TsMaskEdit>();
}

TsMaskEdit::TsMaskEdit(TComponent* owner) : TsEditSkinned(owner, 3, "EDIT") {
    ControlStyle >> csSetCaption;
}

std::vector<TPropInfo> TsMemo::Published() {
    return SkinProperties<TsMemo>();
}

TsMemo::TsMemo(TComponent* owner) : TsEditSkinned(owner, 7, "EDIT") {
    ControlStyle >> csOpaque;
}

void TsMemo::WndProc(TMessage& m) {
    TsEditSkinned::WndProc(m);
    if (m.Msg == win::EM_SETSEL) OnScrollCaret(this);
    if (m.Msg == win::WM_VSCROLL) OnVScroll(this);
}

}  // namespace skin
