#include "lists/help_file.h"

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include "gateway/log_thread.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/os/shell_open.h"
#include "platform/os/sys_error.h"
#include "platform/user/message_box.h"
#include "platform/user/timers.h"
#include "platform/user/window_tree.h"

namespace lists {

namespace {

struct Viewer {
    win::HWND owner;
    std::unique_ptr<os::ShellOpening> opening;
};

std::vector<Viewer> gViewers;  // started, not yet ended
win::UINT_PTR gPollTimer = 0;

void ShowFailure(win::HWND owner, const std::string& reason) {
    const std::string text = "Ошибка запуска файла Справки!\r"_cp + reason + ".";
    if (owner && !win::IsWindow(owner)) owner = nullptr;  // gone while the viewer ran
    win::MessageBoxA(owner, text.c_str(), "Ошибка"_cp, win::MB_ICONSTOP);
}

void PollViewers(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    std::vector<std::pair<win::HWND, std::string>> failed;
    std::erase_if(gViewers, [&](Viewer& v) {
        const auto result = v.opening->Poll();
        if (result && !result->known)
            // Neither a success nor a failure to show: the viewer may still be running fine.
            gateway::AddLog("Справка: "_cp + result->error);
        else if (result && !result->ok)
            failed.emplace_back(v.owner, result->error);
        return result.has_value();
    });
    if (gViewers.empty()) {
        win::KillTimer(nullptr, gPollTimer);
        gPollTimer = 0;
    }
    // Only now: a box runs a message loop, in which this timer may come again.
    for (const auto& [owner, reason] : failed)
        ShowFailure(owner, reason);
}

}  // namespace

bool OpenHelpFile(win::HWND owner, const std::string& folder, const std::string& opener) {
    const std::string file = folder + kHelpFileName;
    // The opener is started detached and cannot tell a missing file, so that is asked first.
    if (!os::FileExists(file)) {
        ShowFailure(owner, std::string(kHelpFileName) + ": " + os::RussianErrorText(ENOENT));
        return false;
    }
    auto opening = std::make_unique<os::ShellOpening>(file, opener, kHelpWatchName);
    if (const auto result = opening->Poll()) {
        if (!result->ok) ShowFailure(owner, result->error);
        return result->ok;
    }
    gViewers.push_back({owner, std::move(opening)});
    // Made anew each time: resetting the windowing drops the timers with it.
    if (gPollTimer) win::KillTimer(nullptr, gPollTimer);
    gPollTimer = win::SetTimer(nullptr, 0, kHelpViewerPollMs, PollViewers);
    return true;
}

bool OpenHelpFile(win::HWND owner) {
    return OpenHelpFile(owner, os::ExecutableDir());
}

}  // namespace lists
