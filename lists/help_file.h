// The operator's guide: "Help Tessary.chm" next to the executable, opened with the desktop's
// viewer. A failure is shown with the reason of the step that failed, however late it comes: the
// viewer's end is polled from a timer, so the windows go on meanwhile. When its watch ends
// without telling (killed from outside), that is only logged: nothing is known to show.
#pragma once

#include <string>

#include "platform/user/win_types.h"

namespace lists {

inline constexpr const char* kHelpFileName = "Help Tessary.chm";
// The name the watch of a viewer shows in the process list.
inline constexpr const char* kHelpWatchName = "tessary-help";

// How often the viewers still running are asked whether they have ended.
inline constexpr unsigned kHelpViewerPollMs = 200;

// Opens the guide in `folder` (with its trailing "/") through `opener`. A failure known at once
// (no file, no opener) is shown owned by `owner` and answers false; true once the viewer runs,
// and should it end with a failure later, that is shown then.
bool OpenHelpFile(win::HWND owner, const std::string& folder,
                  const std::string& opener = "xdg-open");
// The guide next to the executable.
bool OpenHelpFile(win::HWND owner);

}  // namespace lists
