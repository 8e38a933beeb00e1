#include "platform/controls/standard_controls.h"

#include "platform/controls/combo_box_control.h"
#include "platform/controls/date_time_picker.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/controls/up_down_control.h"
#include "platform/user/user.h"

namespace win {

void RegisterStandardControls() {
    struct Class {
        const char* name;
        WNDPROC proc;
    };
    for (const Class& c :
         {Class{"Static", StaticWndProc}, Class{"Button", ButtonWndProc},
          Class{"SysListView32", ListViewWndProc}, Class{"SysHeader32", HeaderWndProc},
          Class{"msctls_statusbar32", StatusBarWndProc}, Class{UPDOWN_CLASSA, UpDownWndProc},
          Class{DATETIMEPICK_CLASSA, DateTimePickerWndProc}, Class{"Edit", EditWndProc},
          Class{"ListBox", ListBoxWndProc}, Class{"ComboLBox", ComboLBoxWndProc},
          Class{"ComboBox", ComboBoxWndProc}}) {
        WNDCLASSA wc;
        if (GetClassInfoA(nullptr, c.name, &wc)) continue;
        wc = {};
        wc.style = CS_DBLCLKS | CS_PARENTDC;
        wc.lpfnWndProc = c.proc;
        wc.cbWndExtra = static_cast<int>(sizeof(LONG_PTR));  // the control's state
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = c.name;
        RegisterClassA(&wc);
    }
}

}  // namespace win
