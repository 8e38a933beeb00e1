// Opening a document or web address with the desktop's default application (the shell's "open"
// verb), through xdg-open started detached.
//
// The opener is started so that it outlives the program and leaves no zombie. Its failure to
// start is always reported; when asked, its exit is also watched for a short while, so that an
// opener that ends with a failure (xdg-open finding no program for the file) is reported too.
// One still running when the watch ends is taken to have opened the file: a viewer started in
// the foreground runs until the operator closes it.
#pragma once

#include <functional>
#include <string>

namespace os {

struct ShellOpenResult {
    bool ok = false;
    std::string error;  // which step failed and why, cp1251
};

struct ShellOpenWatch {
    int milliseconds = 0;         // how long the opener's exit is waited for; 0: not at all
    std::function<void()> idle;  // called every few milliseconds while waiting (a message pump)
};

ShellOpenResult ShellOpen(const std::string& target, const std::string& program = "xdg-open",
                          const ShellOpenWatch& watch = {});

}  // namespace os
