// What the common controls (list view, header, status bar) tell their parents through WM_NOTIFY:
// the shared NM_ codes, the custom-draw record with its stages and answers, and the call that
// sends a notification with its head filled in.
#pragma once

#include "platform/gdi/win_types.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr UINT NM_FIRST = 0;
inline constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1;
inline constexpr UINT NM_CLICK = NM_FIRST - 2;
inline constexpr UINT NM_DBLCLK = NM_FIRST - 3;
inline constexpr UINT NM_RETURN = NM_FIRST - 4;
inline constexpr UINT NM_RCLICK = NM_FIRST - 5;
inline constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
inline constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
inline constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
inline constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;

// Custom drawing: the control asks its parent before and after it paints itself
// (CDDS_PREPAINT, CDDS_POSTPAINT) and, when the parent asks for it, before and after each item.
inline constexpr DWORD CDDS_PREPAINT = 0x00000001;
inline constexpr DWORD CDDS_POSTPAINT = 0x00000002;
inline constexpr DWORD CDDS_PREERASE = 0x00000003;
inline constexpr DWORD CDDS_POSTERASE = 0x00000004;
inline constexpr DWORD CDDS_ITEM = 0x00010000;
inline constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
inline constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
inline constexpr DWORD CDDS_SUBITEM = 0x00020000;

inline constexpr LRESULT CDRF_DODEFAULT = 0x00;
inline constexpr LRESULT CDRF_NEWFONT = 0x02;
inline constexpr LRESULT CDRF_SKIPDEFAULT = 0x04;
inline constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x10;
inline constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
inline constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x20;
inline constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x40;

inline constexpr UINT CDIS_SELECTED = 0x0001;
inline constexpr UINT CDIS_GRAYED = 0x0002;
inline constexpr UINT CDIS_DISABLED = 0x0004;
inline constexpr UINT CDIS_CHECKED = 0x0008;
inline constexpr UINT CDIS_FOCUS = 0x0010;
inline constexpr UINT CDIS_DEFAULT = 0x0020;
inline constexpr UINT CDIS_HOT = 0x0040;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    HDC hdc = nullptr;
    RECT rc{};
    ULONG_PTR dwItemSpec = 0;  // the item's index
    UINT uItemState = 0;
    LPARAM lItemlParam = 0;
};

// Fills in the head (this window, its id, the code) and sends WM_NOTIFY to the parent; answers
// the parent's reply, 0 without a parent.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* record);

}  // namespace win
