// The "SysHeader32" class: a row of column headings, each with text, an image and a sort arrow,
// placed by an order array. Dragging a divider resizes the item to its left (live, with
// HDN_BEGINTRACK, HDN_TRACK, HDN_ITEMCHANGING/ITEMCHANGED, HDN_ENDTRACK); with HDS_BUTTONS an
// item is pressed like a button and a release over it tells HDN_ITEMCLICK; with HDS_DRAGDROP an
// item dragged sideways moves to where it is dropped (HDN_BEGINDRAG, HDN_ENDDRAG, then
// HDN_ITEMCHANGED with HDI_ORDER).
#pragma once

#include "platform/controls/common_notify.h"
#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr const char* WC_HEADERA = "SysHeader32";

inline constexpr DWORD HDS_HORZ = 0x0000;
inline constexpr DWORD HDS_BUTTONS = 0x0002;
inline constexpr DWORD HDS_HOTTRACK = 0x0004;
inline constexpr DWORD HDS_HIDDEN = 0x0008;
inline constexpr DWORD HDS_DRAGDROP = 0x0040;
inline constexpr DWORD HDS_FULLDRAG = 0x0080;

inline constexpr UINT HDM_FIRST = 0x1200;
inline constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
inline constexpr UINT HDM_INSERTITEMA = HDM_FIRST + 1;
inline constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
inline constexpr UINT HDM_GETITEMA = HDM_FIRST + 3;
inline constexpr UINT HDM_SETITEMA = HDM_FIRST + 4;
inline constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
inline constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
inline constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
inline constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;
inline constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
inline constexpr UINT HDM_ORDERTOINDEX = HDM_FIRST + 15;
inline constexpr UINT HDM_GETORDERARRAY = HDM_FIRST + 17;
inline constexpr UINT HDM_SETORDERARRAY = HDM_FIRST + 18;

inline constexpr UINT HDI_WIDTH = 0x0001;
inline constexpr UINT HDI_HEIGHT = HDI_WIDTH;
inline constexpr UINT HDI_TEXT = 0x0002;
inline constexpr UINT HDI_FORMAT = 0x0004;
inline constexpr UINT HDI_LPARAM = 0x0008;
inline constexpr UINT HDI_BITMAP = 0x0010;
inline constexpr UINT HDI_IMAGE = 0x0020;
inline constexpr UINT HDI_ORDER = 0x0080;

inline constexpr int HDF_LEFT = 0x0000;
inline constexpr int HDF_RIGHT = 0x0001;
inline constexpr int HDF_CENTER = 0x0002;
inline constexpr int HDF_JUSTIFYMASK = 0x0003;
inline constexpr int HDF_SORTDOWN = 0x0200;
inline constexpr int HDF_SORTUP = 0x0400;
inline constexpr int HDF_IMAGE = 0x0800;
inline constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;
inline constexpr int HDF_BITMAP = 0x2000;
inline constexpr int HDF_STRING = 0x4000;
inline constexpr int HDF_OWNERDRAW = 0x8000;

inline constexpr UINT HHT_NOWHERE = 0x0001;
inline constexpr UINT HHT_ONHEADER = 0x0002;
inline constexpr UINT HHT_ONDIVIDER = 0x0004;
inline constexpr UINT HHT_ONDIVOPEN = 0x0008;
inline constexpr UINT HHT_ABOVE = 0x0100;
inline constexpr UINT HHT_BELOW = 0x0200;
inline constexpr UINT HHT_TORIGHT = 0x0400;
inline constexpr UINT HHT_TOLEFT = 0x0800;

inline constexpr UINT HDN_FIRST = 0u - 300u;
inline constexpr UINT HDN_ITEMCHANGINGA = HDN_FIRST - 0;
inline constexpr UINT HDN_ITEMCHANGEDA = HDN_FIRST - 1;
inline constexpr UINT HDN_ITEMCLICKA = HDN_FIRST - 2;
inline constexpr UINT HDN_ITEMDBLCLICKA = HDN_FIRST - 3;
inline constexpr UINT HDN_DIVIDERDBLCLICKA = HDN_FIRST - 5;
inline constexpr UINT HDN_BEGINTRACKA = HDN_FIRST - 6;
inline constexpr UINT HDN_ENDTRACKA = HDN_FIRST - 7;
inline constexpr UINT HDN_TRACKA = HDN_FIRST - 8;
inline constexpr UINT HDN_BEGINDRAG = HDN_FIRST - 10;
inline constexpr UINT HDN_ENDDRAG = HDN_FIRST - 11;

struct HDITEMA {
    UINT mask = 0;
    int cxy = 0;
    LPSTR pszText = nullptr;
    HBITMAP hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct HDHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    int iItem = -1;
};

struct HDLAYOUT {
    RECT* prc = nullptr;
    WINDOWPOS* pwpos = nullptr;
};

// iButton: 0 for the left mouse button. pitem carries what changed (or is about to).
struct NMHEADERA {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEMA* pitem = nullptr;
};

}  // namespace win
