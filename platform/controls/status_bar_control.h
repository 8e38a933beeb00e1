// The "msctls_statusbar32" class: a bar along the bottom (or, with CCS_TOP, the top) of its
// parent, divided into parts by their right edges (-1: to the end of the bar), each with a text
// in a sunken frame; "\t" in a text centres what follows it, a second one puts the rest at the
// right. A part set with SBT_OWNERDRAW is painted by the parent through WM_DRAWITEM (itemID: the
// part, itemData: the value given with SB_SETTEXT). SB_SIMPLE shows one part with its own text
// instead (part SB_SIMPLEID). With SBARS_SIZEGRIP the bar shows a grip in its corner that answers
// HTBOTTOMRIGHT and sizes the top-level window, when that one can be sized.
//
// The bar places itself when it is made and whenever it gets WM_SIZE (the parent passes its own
// WM_SIZE on), unless CCS_NORESIZE or CCS_NOPARENTALIGN.
#pragma once

#include "platform/controls/common_notify.h"
#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr const char* STATUSCLASSNAMEA = "msctls_statusbar32";

inline constexpr DWORD CCS_TOP = 0x0001;
inline constexpr DWORD CCS_NOMOVEY = 0x0002;
inline constexpr DWORD CCS_BOTTOM = 0x0003;
inline constexpr DWORD CCS_NORESIZE = 0x0004;
inline constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
inline constexpr DWORD SBARS_SIZEGRIP = 0x0100;

inline constexpr UINT SB_SETTEXTA = WM_USER + 1;
inline constexpr UINT SB_GETTEXTA = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
inline constexpr UINT SB_GETBORDERS = WM_USER + 7;
inline constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
inline constexpr UINT SB_SIMPLE = WM_USER + 9;
inline constexpr UINT SB_GETRECT = WM_USER + 10;
inline constexpr UINT SB_ISSIMPLE = WM_USER + 14;

// SB_SETTEXT: the part in the low byte of wParam, these in the high byte of its low word.
inline constexpr UINT SBT_NOBORDERS = 0x0100;
inline constexpr UINT SBT_POPOUT = 0x0200;
inline constexpr UINT SBT_RTLREADING = 0x0400;
inline constexpr UINT SBT_NOTABPARSING = 0x0800;
inline constexpr UINT SBT_OWNERDRAW = 0x1000;
inline constexpr UINT SB_SIMPLEID = 0x00FF;

inline constexpr UINT SBN_FIRST = 0u - 880u;
inline constexpr UINT SBN_SIMPLEMODECHANGE = SBN_FIRST - 0;

}  // namespace win
