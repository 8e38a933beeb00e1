// DrawText: text laid out in a rectangle. Accepts every flag below; line breaks are CR, LF and
// CR LF (unless DT_SINGLELINE); DT_VCENTER and DT_BOTTOM work on single lines only; "&" marks
// the next character for underlining ("&&" is one "&") unless DT_NOPREFIX; DT_WORDBREAK breaks
// lines between words (a word longer than a line is broken only with DT_EDITCONTROL); the
// ellipsis flags shorten each line that does not fit; DT_CALCRECT only measures, moving the
// rectangle's right and bottom. DT_RTLREADING is accepted and changes nothing for cp1251 text.
#pragma once

#include "platform/gdi/win_types.h"

namespace win {

inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_TABSTOP = 0x00000080;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_EXTERNALLEADING = 0x00000200;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_INTERNAL = 0x00001000;
inline constexpr UINT DT_EDITCONTROL = 0x00002000;
inline constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
inline constexpr UINT DT_END_ELLIPSIS = 0x00008000;
inline constexpr UINT DT_MODIFYSTRING = 0x00010000;
inline constexpr UINT DT_RTLREADING = 0x00020000;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
inline constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
inline constexpr UINT DT_HIDEPREFIX = 0x00100000;
inline constexpr UINT DT_PREFIXONLY = 0x00200000;

// count -1: up to the terminating zero. Answers the height of the text, or with DT_VCENTER or
// DT_BOTTOM the offset from the rectangle's top to the bottom of the text; 0 on failure.
int DrawText(HDC dc, LPCSTR text, int count, RECT* rect, UINT format);
inline int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format) {
    return DrawText(dc, text, count, rect, format);
}

}  // namespace win
