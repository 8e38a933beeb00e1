// Regions: sets of pixels kept as lists of rectangles in bands, with the usual algebra. Fast
// enough to build a region from a mask row by row (each step touches only the last band).
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/win_types.h"

namespace win {

struct RGNDATAHEADER {
    DWORD dwSize = sizeof(RGNDATAHEADER);
    DWORD iType = 1;  // RDH_RECTANGLES
    DWORD nCount = 0;
    DWORD nRgnSize = 0;
    RECT rcBound;
};

// The rectangles follow the header (Buffer holds nCount RECTs).
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};

inline constexpr DWORD RDH_RECTANGLES = 1;

// Rectangles with the right left of the left (or the bottom above the top) are put in order.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
// dst may be src1 or src2; src2 is ignored for RGN_COPY. Answers the type of the result.
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int GetRgnBox(HRGN region, RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// With data NULL (or too small a size) answers the size needed; else fills data and answers the
// size written. The rectangles come in bands, top to bottom, left to right.
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);
// The transform must be NULL (no transforms are supported). Rectangles may be in any order.
HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN region);
BOOL InvertRgn(HDC dc, HRGN region);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);

}  // namespace win
