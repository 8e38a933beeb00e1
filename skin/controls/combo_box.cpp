#include "skin/controls/combo_box.h"

#include "platform/controls/combo_box_control.h"
#include "platform/user/user.h"

namespace skin {

using namespace vcl;

namespace {

constexpr uint16_t kKeyF4 = 0x73;

// The keys a read-only box refuses: space, the page keys, the ends, the arrows, F4, the
// letters and 0x39.
bool MovesSelection(uintptr_t vk) {
    return (vk >= 0x20 && vk <= 0x28) || vk == 0x39 || (vk >= 0x41 && vk <= 0x5A) || vk == kKeyF4;
}

}  // namespace

std::vector<TPropInfo> TsCustomComboBox::Published() {
    using C = TsCustomComboBox;
    std::vector<TPropInfo> p = SkinProperties<C>();
    p.push_back(Property("AutoCloseUp", &C::AutoCloseUp, &C::SetAutoCloseUp));
    p.push_back(Property("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown));
    p.push_back(Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly));
    return p;
}

TsCustomComboBox::TsCustomComboBox(TComponent* owner) : TsEditSkinned(owner, 3, "COMBOBOX") {
    SetDropDownCount(16);
}

void TsCustomComboBox::SetAlignment(TAlignment a) {
    if (a == Alignment()) return;
    TCustomComboBox::SetAlignment(a);
    SkinData()->Invalidate();
}

void TsCustomComboBox::WndProc(TMessage& m) {
    if (readOnly_) {
        switch (m.Msg) {
            case win::WM_KEYDOWN:
            case win::WM_SYSKEYDOWN:
            case win::WM_SYSCHAR:
            case CN_KEYDOWN:
            case CN_SYSKEYDOWN:
            case CN_SYSCHAR:
                if (MovesSelection(m.WParam)) return;
                break;
            case win::WM_CHAR:
            case win::WM_COMMAND:
                return;
            case win::CB_SHOWDROPDOWN:
                if (m.WParam) return;
                break;
            case win::WM_LBUTTONDOWN:
                if (CanFocus()) SetFocus();
                return;
            case win::WM_LBUTTONDBLCLK:
                if (CanFocus()) SetFocus();
                OnDblClick(this);
                return;
            default:
                break;
        }
    }
    TsEditSkinned::WndProc(m);
    if (m.Msg == CN_COMMAND) {
        if (m.WParamHi() == win::CBN_DROPDOWN) droppedDown_ = true;
        if (m.WParamHi() == win::CBN_CLOSEUP) droppedDown_ = false;
    }
}

void TsCustomComboBox::EditWndProc(TMessage& m) {
    if (readOnly_) {
        switch (m.Msg) {
            case win::WM_KEYDOWN:
            case win::WM_KEYUP:
            case win::WM_CHAR:
            case win::WM_SYSKEYDOWN:
            case win::WM_SYSKEYUP:
            case CN_KEYDOWN:
            case CN_CHAR:
            case CN_SYSKEYDOWN:
            case CN_SYSCHAR:
                // Tab and Enter still move on and press the default button.
                if (m.WParam == win::VK_TAB || m.WParam == win::VK_RETURN) break;
                m.Result = 0;
                return;
            case win::WM_CUT:
            case win::WM_PASTE:
            case win::WM_CLEAR:
            case win::WM_UNDO:
                m.Result = 0;
                return;
            default:
                break;
        }
    }
    TCustomComboBox::EditWndProc(m);
}

}  // namespace skin
