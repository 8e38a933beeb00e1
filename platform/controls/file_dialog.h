// The open and save dialogs: a modal "#32770" made by the dialog manager from standard
// controls (the folder shown in a static, a list box of folders with ".." first, a list box of
// the files the chosen type matches, the name edit, the type combo box, OK and Cancel).
//
// Names on disk are UTF-8; every text the caller gives or gets is cp1251. A name that cp1251
// cannot hold is listed with "?" for the missing characters and cannot be chosen or entered:
// nothing is ever opened or written under a mangled name.
#pragma once

#include "platform/user/win_types.h"

namespace win {

// Flags of OPENFILENAMEA.
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct OPENFILENAMEA {
    DWORD lStructSize = sizeof(OPENFILENAMEA);
    HWND hwndOwner = nullptr;
    // Pairs of a title and its masks ("*.csv;*.txt"), each text ending with a NUL, the whole
    // ending with a second NUL.
    const char* lpstrFilter = nullptr;
    DWORD nFilterIndex = 0;  // 1-based; the type chosen comes back here
    // In: the name to start with (a path starts in its folder). Out: the full path chosen.
    char* lpstrFile = nullptr;
    DWORD nMaxFile = 0;
    const char* lpstrInitialDir = nullptr;  // nullptr or "": the current folder
    const char* lpstrTitle = nullptr;  // nullptr: "Открыть" or "Сохранить как"
    DWORD Flags = 0;
    const char* lpstrDefExt = nullptr;  // added, after a dot, to a name without one
};

// TRUE when a file was chosen; FALSE for Cancel, Escape or the close box, or a failure
// (CommDlgExtendedError tells which).
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);

inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
// Why the last dialog answered FALSE; 0 when it was cancelled.
DWORD CommDlgExtendedError();

// The ids of the dialog's controls.
inline constexpr int kFileDialogFolderId = 0x0440;  // the static showing the folder
inline constexpr int kFileDialogFileListId = 0x0460;
inline constexpr int kFileDialogFolderListId = 0x0461;
inline constexpr int kFileDialogTypeId = 0x0470;  // the type combo box
inline constexpr int kFileDialogNameId = 0x0480;  // the name edit

}  // namespace win
