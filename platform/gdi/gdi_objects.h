// Drawing objects: stock objects, pens, brushes, palettes, and the calls common to every object
// handle (GetObject, GetObjectType, DeleteObject).
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int DEFAULT_PALETTE = 15;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

inline constexpr UINT PS_SOLID = 0;
inline constexpr UINT PS_DASH = 1;
inline constexpr UINT PS_DOT = 2;
inline constexpr UINT PS_DASHDOT = 3;
inline constexpr UINT PS_DASHDOTDOT = 4;
inline constexpr UINT PS_NULL = 5;
inline constexpr UINT PS_INSIDEFRAME = 6;
inline constexpr UINT PS_STYLE_MASK = 0xF;

inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth{1, 0};
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;
};

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

// Permanent objects: DeleteObject ignores them and they are never stale.
HGDIOBJ GetStockObject(int index);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);  // BS_SOLID and BS_NULL
// Styles other than PS_NULL draw solid; a width below 1 draws one pixel wide.
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);

// At most 256 entries, version 0x300.
HPALETTE CreatePalette(const LOGPALETTE* palette);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);

// BITMAP or DIBSECTION for bitmaps, LOGPEN, LOGBRUSH, LOGFONT, a WORD entry count for
// palettes. With buffer NULL answers the size needed; 0 for a bad handle.
int GetObject(HGDIOBJ object, int size, void* buffer);
// OBJ_PEN, OBJ_BRUSH, OBJ_DC / OBJ_MEMDC, OBJ_PAL, OBJ_FONT, OBJ_BITMAP, OBJ_REGION; 0 for a bad
// or stale handle.
DWORD GetObjectType(HGDIOBJ object);
// Fails for stock objects (answers TRUE without deleting them, as callers expect), bad handles
// and bitmaps still selected into a DC. A pen, brush or font still selected stays in use by
// that DC until it is replaced there; its handle is gone at once.
BOOL DeleteObject(HGDIOBJ object);

}  // namespace win
