// Image lists: images of one size kept as 32-bit pixels with a mask. Lists made with ILC_MASK
// draw transparently where the mask is set; images with alpha (in ILC_COLOR32 lists) blend by
// it. The background colour (CLR_NONE at first) fills the masked pixels of ILD_NORMAL draws.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

inline constexpr UINT ILC_MASK = 0x0001;
inline constexpr UINT ILC_COLOR = 0x0000;
inline constexpr UINT ILC_COLORDDB = 0x00FE;
inline constexpr UINT ILC_COLOR4 = 0x0004;
inline constexpr UINT ILC_COLOR8 = 0x0008;
inline constexpr UINT ILC_COLOR16 = 0x0010;
inline constexpr UINT ILC_COLOR24 = 0x0018;
inline constexpr UINT ILC_COLOR32 = 0x0020;

inline constexpr UINT ILD_NORMAL = 0x0000;
inline constexpr UINT ILD_TRANSPARENT = 0x0001;
inline constexpr UINT ILD_BLEND25 = 0x0002;
inline constexpr UINT ILD_FOCUS = ILD_BLEND25;
inline constexpr UINT ILD_BLEND50 = 0x0004;
inline constexpr UINT ILD_SELECTED = ILD_BLEND50;
inline constexpr UINT ILD_BLEND = ILD_BLEND50;
inline constexpr UINT ILD_MASK = 0x0010;
inline constexpr UINT ILD_IMAGE = 0x0020;

// Sizes of 1 to 1024 pixels; grow is only a hint.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
// Growing adds empty (fully masked, clear) images.
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
// A bitmap wider than the list's width adds one image per width; answers the first index or
// -1. A mask bitmap's white pixels are transparent; the picture is blackened under them.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the given colour become the mask.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// index -1 appends; an icon of another size is scaled. Answers the index or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
    return ImageList_ReplaceIcon(list, -1, icon);
}
// index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) {
    return ImageList_Remove(list, -1);
}
// A new icon the caller destroys. With ILD_NORMAL and a background colour the masked pixels
// take that colour and the icon is opaque.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// dx, dy: the part of the image to draw from its top-left corner (0: all). bk CLR_DEFAULT is the
// list's background colour; fg is the blend colour of ILD_BLEND25/50 (CLR_DEFAULT: the
// highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Changes the size and removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

}  // namespace win
