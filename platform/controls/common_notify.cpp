#include "platform/controls/common_notify.h"

#include "platform/user/user.h"

namespace win {

LRESULT NotifyParent(HWND control, UINT code, NMHDR* record) {
    record->hwndFrom = control;
    record->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    record->code = code;
    HWND parent = GetParent(control);
    if (!parent) return 0;
    return SendMessageA(parent, WM_NOTIFY, record->idFrom, reinterpret_cast<LPARAM>(record));
}

}  // namespace win
