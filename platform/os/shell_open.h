// Opening a document or web address with the desktop's default application (the shell's "open"
// verb), through xdg-open started detached.
//
// The opener is started so that it outlives the program and leaves no zombie: a middle process
// forks it. Whether it started is known at once. When its end is watched, the middle process
// waits on it for as long as it runs and sends back how it ended through a pipe that the caller
// polls without blocking, so an opener that fails however late (xdg-open finding no program for
// the file, a viewer that gives up) is still reported. A viewer started in the foreground runs
// until the operator closes it; only then does its exit say how it went.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace os {

struct ShellOpenResult {
    bool ok = false;
    std::string error;  // which step failed and why, in Russian, cp1251
    // False when the watch ended without telling how the opener ended (killed from outside):
    // then neither ok nor a failure holds, and `error` says what is known.
    bool known = true;
};

// Starts the opener without watching its end: ok once it has started.
ShellOpenResult ShellOpen(const std::string& target, const std::string& program = "xdg-open");

// An opener started with its end watched.
class ShellOpening {
public:
    // Returns once the opener has started or failed to. The watching process shows as
    // `watchName` (at most 15 bytes) in the process list, not as a copy of the program.
    explicit ShellOpening(const std::string& target, const std::string& program = "xdg-open",
                          const std::string& watchName = "tessary-watch");
    // A watch still going is given up; the opener runs on.
    ~ShellOpening();
    ShellOpening(const ShellOpening&) = delete;
    ShellOpening& operator=(const ShellOpening&) = delete;

    // How it ended, without waiting: none while the opener runs. Ok is an exit with 0; a watch
    // that ended without a report gives a result that is not known.
    std::optional<ShellOpenResult> Poll();

private:
    int EndWatch();  // the wait status of the middle process, -1 when unknown

    std::string program_;
    std::optional<ShellOpenResult> result_;
    pid_t watcher_ = -1;  // the middle process, while it watches
    int pipe_ = -1;       // its reports, read without blocking
};

}  // namespace os
