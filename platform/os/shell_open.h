// Opening a document or web address with the desktop's default application (the shell's "open"
// verb), through xdg-open started detached.
#pragma once

#include <string>

namespace os {

struct ShellOpenResult {
    bool ok = false;
    std::string error;  // which step failed and why, cp1251
};

ShellOpenResult ShellOpen(const std::string& target, const std::string& program = "xdg-open");

}  // namespace os
