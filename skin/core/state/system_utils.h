// The skin library's small links to the system: its own folder, folder searches, file icons,
// the caption font and an error message.
#pragma once

#include <string>

#include "platform/gdi/gdi.h"
#include "vcl/system/file_search.h"

namespace skin {

// The folder of the program's own file, with its trailing separator, in the program's text
// like every other path the skin code keeps; empty when cp1251 cannot write it.
std::string GetAppPath();

inline int FindFirstEntry(const std::string& path, int attr, vcl::TSearchRec& rec) {
    return vcl::FindFirst(path, attr, rec);
}
inline int FindNextEntry(vcl::TSearchRec& rec) {
    return vcl::FindNext(rec);
}
inline void FindCloseEntry(vcl::TSearchRec& rec) {
    vcl::FindClose(rec);
}

// The shell's icon of a file (flags 1: the small one), owned by the caller; nullptr when the file
// does not exist or the shell has no icon for it. This system has no shell icon service, so
// every existing file answers nullptr too and callers fall back to their own pictures.
win::HICON GetFileIcon(const std::string& fileName, unsigned flags);

// The height of the system's caption font, 0 when it cannot be read, and a new font made from
// it (the caller deletes it; nullptr on failure).
int GetCaptionFontHeight();
win::HFONT CreateCaptionFont();

// The text in the skinned message dialog as an error with an OK button.
void ShowErrorMessage(const std::string& text);

}  // namespace skin
