#include "lists/help_file.h"

#include <cerrno>

#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/os/shell_open.h"
#include "platform/os/sys_error.h"
#include "platform/user/message_box.h"
#include "vcl/controls/forms.h"

namespace lists {

bool OpenHelpFile(win::HWND owner, const std::string& folder, const std::string& opener,
                  int watchMs) {
    const std::string file = folder + kHelpFileName;
    // The opener is started detached and cannot tell a missing file, so that is asked first.
    os::ShellOpenResult result;
    if (os::FileExists(file)) {
        result = os::ShellOpen(file, opener,
                               {watchMs, [] { vcl::Application()->ProcessMessages(); }});
    } else {
        result.error = std::string(kHelpFileName) + ": " + os::ErrorFromCode(ENOENT).text;
    }
    if (result.ok) return true;
    const std::string text = "Ошибка запуска файла Справки!\r"_cp + result.error + ".";
    win::MessageBoxA(owner, text.c_str(), "Ошибка"_cp, win::MB_ICONSTOP);
    return false;
}

bool OpenHelpFile(win::HWND owner) {
    return OpenHelpFile(owner, os::ExecutableDir());
}

}  // namespace lists
