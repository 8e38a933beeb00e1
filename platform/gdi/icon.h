// Icons: a 32-bit colour bitmap (blue, green, red, alpha) and a 1-bit mask (white where the
// icon is transparent), or only a mask of twice the height (the AND half above the XOR half)
// for monochrome icons. Drawing blends by the alpha when the colour bitmap has any, else it
// ANDs the mask and XORs the colour. The standard icons are made by the layer itself.
#pragma once

#include <cstddef>
#include <string>

#include "platform/gdi/win_types.h"

namespace win {

struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;
    HBITMAP hbmColor = nullptr;
};

inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = 0x0003;
inline constexpr UINT DI_COMPAT = 0x0004;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;

inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_MONOCHROME = 0x0001;
inline constexpr UINT LR_COPYRETURNORG = 0x0004;
inline constexpr UINT LR_COPYDELETEORG = 0x0008;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;

inline const LPCSTR IDI_APPLICATION = reinterpret_cast<LPCSTR>(uintptr_t(32512));
inline const LPCSTR IDI_HAND = reinterpret_cast<LPCSTR>(uintptr_t(32513));
inline const LPCSTR IDI_QUESTION = reinterpret_cast<LPCSTR>(uintptr_t(32514));
inline const LPCSTR IDI_EXCLAMATION = reinterpret_cast<LPCSTR>(uintptr_t(32515));
inline const LPCSTR IDI_ASTERISK = reinterpret_cast<LPCSTR>(uintptr_t(32516));
inline const LPCSTR IDI_WINLOGO = reinterpret_cast<LPCSTR>(uintptr_t(32517));
inline const LPCSTR IDI_SHIELD = reinterpret_cast<LPCSTR>(uintptr_t(32518));
inline const LPCSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCSTR IDI_ERROR = IDI_HAND;
inline const LPCSTR IDI_INFORMATION = IDI_ASTERISK;

// The size DI_DEFAULTSIZE and LR_DEFAULTSIZE use (the system's large icon size).
inline constexpr int kDefaultIconSize = 32;

// Copies the bitmaps; the caller keeps its own.
HICON CreateIconIndirect(ICONINFO* info);
// Fills in new copies of the bitmaps (a 32-bit DIB section and a monochrome mask), which the
// caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// Standard icons from LoadIcon are shared: destroying them does nothing.
BOOL DestroyIcon(HICON icon);
HICON CopyIcon(HICON icon);
// cx, cy 0: the icon's own size, or the default size with DI_DEFAULTSIZE. Other sizes scale
// the colour by area averaging and the mask by the nearest pixel.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker,
                UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// With a NULL instance the standard IDI_ icons (32 x 32); the program has no icon resources of
// its own here, so any other request answers NULL.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
// Copies (and with cx, cy resizes) a bitmap or icon; LR_COPYDELETEORG deletes the original,
// LR_COPYRETURNORG answers the original when nothing would change.
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);

// An ICO file in memory: the image nearest to cx x cy (0, 0: the default size), the deepest
// of those. Images stored as PNG are skipped (the skin layer decodes PNG itself); a file with
// only such images, or a damaged one, gives a message.
HICON ReadIco(const void* data, size_t size, int cx, int cy, std::string* error);

}  // namespace win
