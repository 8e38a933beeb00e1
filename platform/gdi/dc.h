// Device contexts: memory DCs over bitmaps (CreateCompatibleDC), and the DCs the windowing layer
// makes over window surfaces (dc_surface.h). A DC keeps the state drawing reads: window and
// viewport origins, a clip region, the selected pen, brush, font, bitmap and palette, text and
// background colours, the background mode, ROP2, stretch and fill modes, text alignment and the
// current position. SaveDC/RestoreDC keep a full stack of that state.
//
// Coordinates: drawing calls take logical coordinates; device = logical - window origin +
// viewport origin (MM_TEXT only). Clip regions given to SelectClipRgn are in device
// coordinates; IntersectClipRect and ExcludeClipRect take logical ones.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

// GetObjectType / GetCurrentObject kinds.
inline constexpr UINT OBJ_PEN = 1;
inline constexpr UINT OBJ_BRUSH = 2;
inline constexpr UINT OBJ_DC = 3;
inline constexpr UINT OBJ_PAL = 5;
inline constexpr UINT OBJ_FONT = 6;
inline constexpr UINT OBJ_BITMAP = 7;
inline constexpr UINT OBJ_REGION = 8;
inline constexpr UINT OBJ_MEMDC = 10;

// Region answers and combine modes.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr int STRETCH_ANDSCANS = 1;
inline constexpr int STRETCH_ORSCANS = 2;
inline constexpr int STRETCH_DELETESCANS = 3;
inline constexpr int STRETCH_HALFTONE = 4;

inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

inline constexpr int MM_TEXT = 1;

// GetDeviceCaps indexes.
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int NUMRESERVED = 106;
inline constexpr int COLORRES = 108;
inline constexpr int DESKTOPVERTRES = 117;
inline constexpr int DESKTOPHORZRES = 118;
inline constexpr int SHADEBLENDCAPS = 120;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int RC_BITBLT = 1;
inline constexpr int RC_STRETCHBLT = 0x800;
inline constexpr int RC_DI_BITMAP = 0x80;
inline constexpr int SB_CONST_ALPHA = 1;
inline constexpr int SB_PIXEL_ALPHA = 2;
inline constexpr int SB_GRAD_RECT = 0x10;
inline constexpr int SB_GRAD_TRI = 0x20;

// A memory DC holding a 1 x 1 monochrome bitmap until one is selected. The argument only has
// to be a valid DC or NULL.
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory DC (a window's DC is given back through the windowing layer instead).
BOOL DeleteDC(HDC dc);

// Selecting a region sets the clip (a copy) and answers its type; selecting a bitmap works on
// memory DCs only, and fails for a bitmap that another DC holds.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// Answers the new depth of the stack (1 for the first save), 0 on failure. RestoreDC takes a
// depth, or a negative count back from the top (-1: the last save).
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
int SetMapMode(HDC dc, int mode);  // MM_TEXT only
int GetMapMode(HDC dc);

int SelectClipRgn(HDC dc, HRGN region);  // NULL removes the clip
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
// The bounds of what can be drawn (the clip and, on window DCs, the visible area), logical.
int GetClipBox(HDC dc, RECT* rect);
// Copies the clip (device coordinates) into region: 1, or 0 when the DC has no clip, -1 on error.
int GetClipRgn(HDC dc, HRGN region);
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* pos);

int GetDeviceCaps(HDC dc, int index);

}  // namespace win
