// The operator's guide: "Help Tessary.chm" next to the executable, opened with the desktop's
// viewer. A failure is shown with the reason of the step that failed.
#pragma once

#include <string>

#include "platform/user/win_types.h"

namespace lists {

inline constexpr const char* kHelpFileName = "Help Tessary.chm";

// How long the opener's exit is watched, with the windows kept alive meanwhile: an opener that
// ends with a failure by then found no program for the file.
inline constexpr int kHelpOpenerWatchMs = 2000;

// Opens the guide in `folder` (with its trailing "/") through `opener`; on failure shows the
// error owned by `owner` and answers false.
bool OpenHelpFile(win::HWND owner, const std::string& folder,
                  const std::string& opener = "xdg-open", int watchMs = kHelpOpenerWatchMs);
// The guide next to the executable.
bool OpenHelpFile(win::HWND owner);

}  // namespace lists
