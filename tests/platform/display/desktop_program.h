// A window manager or compositing manager run on a test's virtual X server for as long as the
// object lives; Up once it owns the selection such managers announce themselves by (and, for a
// window manager, once it manages windows).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace display {

class DesktopProgram {
public:
    // `argv[0]` is looked up on PATH; `selection` is e.g. "WM_S0" or "_NET_WM_CM_S0".
    DesktopProgram(const char* displayName, std::vector<std::string> argv, const char* selection);
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;
    bool Up() const { return up_; }

private:
    pid_t pid_ = -1;
    bool up_ = false;
};

}  // namespace display
