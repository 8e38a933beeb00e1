// The skinned scroll bars' adapter: layout, hit testing and the mouse work.
#include "skin/windows/scroll/scroll_wnd.h"

#include <algorithm>

#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

ScrollMouseState& ScrollMouse() {
    static ScrollMouseState state;
    return state;
}

namespace {

constexpr uint32_t kRepeatFirst = 300;
constexpr uint32_t kRepeatNext = 55;
constexpr uint32_t kHoverTick = 20;

bool PtIn(const win::RECT& r, win::POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

win::POINT MessagePoint() {
    win::DWORD pos = win::GetMessagePos();
    return win::POINT{win::GET_X_LPARAM(win::LPARAM(pos)), win::GET_Y_LPARAM(win::LPARAM(pos))};
}

}  // namespace

TacScrollWnd::TacScrollWnd() {
    HBar.Kind = win::SB_HORZ;
    VBar.Kind = win::SB_VERT;
    HBar.Owner = VBar.Owner = this;
}

TacScrollWnd::~TacScrollWnd() {
    ForgetMouseState();
}

void TacScrollWnd::Bind() {
    OwnScrollMessage = false;
    for (TacScrollBar* b : {&HBar, &VBar}) {
        b->ScrollInfo = win::SCROLLINFO{};
        b->ScrollInfo.fMask = win::SIF_ALL;
        win::GetScrollInfo(CtrlHandle, b->Kind, &b->ScrollInfo);
        b->ArrowLength = b->Thickness = -1;
        b->MinThumb = kDefaultMinThumb;
    }
    LeftScrollBar = (win::GetWindowLongPtrA(CtrlHandle, win::GWL_EXSTYLE) & win::WS_EX_LEFTSCROLLBAR) != 0;
    auto style = win::GetWindowLongPtrA(CtrlHandle, win::GWL_STYLE);
    HBar.Flags = (style & win::WS_HSCROLL) ? TacScrollBar::kHasStyle : 0;
    VBar.Flags = (style & win::WS_VSCROLL) ? TacScrollBar::kHasStyle : 0;
    StyleGuard = false;
    SubclassAdapterWindow(this, CtrlHandle);
    if (Unhooked) return;
    // The frame is laid out again so that the adapter's own WM_NCCALCSIZE takes the bars.
    win::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                          win::SWP_FRAMECHANGED);
}

int TacScrollWnd::BarThickness(const TacScrollBar& b) const {
    return ScrollBarThickness(
        b.Thickness,
        win::GetSystemMetrics(b.Kind == win::SB_HORZ ? win::SM_CYHSCROLL : win::SM_CXVSCROLL));
}

int TacScrollWnd::BarArrowLength(const TacScrollBar& b, bool useSkin) const {
    int d = win::GetSystemMetrics(win::SM_CXHSCROLL);
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (b.ArrowLength >= 0 || !useSkin || m == nullptr || !m->SkinData().Active)
        return ScrollArrowLength(b.ArrowLength, d);
    const TConstantSkinData& k = m->ConstData();
    int leftIndex = k.ScrollButtons[2].Section;
    const TsGeneralData* left =
        m->IsValidSkinIndex(leftIndex) ? &m->Sections()[size_t(leftIndex)] : nullptr;
    int maskIndex = b.Kind == win::SB_HORZ ? k.ScrollButtons[2].BordersMask
                                           : k.ScrollButtons[0].BordersMask;
    if (left == nullptr || !left->ReservedBoolean || maskIndex < 0 ||
        size_t(maskIndex) >= m->Masks().size())
        return ScrollArrowLength(b.ArrowLength, d);
    const TsMaskData& mask = m->Masks()[size_t(maskIndex)];
    int image = b.Kind == win::SB_HORZ ? SkinFrameWidth(mask) : SkinFrameHeight(mask);
    return ScrollArrowLength(b.ArrowLength, d, image);
}

ScrollBarRects TacScrollWnd::BarRects() const {
    win::RECT wr{};
    win::GetWindowRect(CtrlHandle, &wr);
    return ScrollBarRectsOf(wr, Border, BarThickness(HBar), HBar.Shown, BarThickness(VBar),
                            VBar.Shown, LeftScrollBar);
}

TacScrollWnd::Layout TacScrollWnd::BarLayout(int kind) const {
    const ScrollBarRects r = BarRects();
    const bool horz = kind == win::SB_HORZ;
    Layout l;
    l.rect = horz ? r.horz : r.vert;
    l.a = horz ? l.rect.left : l.rect.top;
    l.b = horz ? l.rect.right : l.rect.bottom;
    l.arrow = BarArrowLength(horz ? HBar : VBar, true);
    return l;
}

bool TacScrollWnd::BarUsable(int kind) {
    TacScrollBar& b = Bar(kind);
    win::SCROLLBARINFO info;
    if (!win::GetScrollBarInfo(CtrlHandle, kind == win::SB_HORZ ? win::OBJID_HSCROLL
                                                                 : win::OBJID_VSCROLL,
                               &info))
        return false;
    const bool first = info.rgstate[1] & win::STATE_SYSTEM_UNAVAILABLE;
    const bool second = info.rgstate[5] & win::STATE_SYSTEM_UNAVAILABLE;
    b.Flags = uint16_t((b.Flags & ~(TacScrollBar::kFirstDisabled | TacScrollBar::kSecondDisabled)) |
                       (first ? TacScrollBar::kFirstDisabled : 0) |
                       (second ? TacScrollBar::kSecondDisabled : 0));
    return !(first && second) && !(info.rgstate[0] & win::STATE_SYSTEM_UNAVAILABLE);
}

int TacScrollWnd::PartAt(int kind, win::POINT p) {
    const Layout l = BarLayout(kind);
    const TacScrollBar& b = Bar(kind);
    if (kind == win::SB_HORZ ? (p.y < l.rect.top || p.y >= l.rect.bottom)
                             : (p.x < l.rect.left || p.x >= l.rect.right))
        return spNone;
    return ScrollBarPartAt(l.a, l.b, l.arrow, b.ScrollInfo, kind == win::SB_HORZ ? p.x : p.y,
                           b.MinThumb);
}

void TacScrollWnd::RefreshScrollBarInfo(bool repaint) {
    if (Unhooked || !win::IsWindowVisible(CtrlHandle) || (SkinData && SkinData->BGChanged))
        return;
    for (TacScrollBar* b : {&HBar, &VBar}) {
        b->ScrollInfo.fMask = win::SIF_ALL;
        win::GetScrollInfo(CtrlHandle, b->Kind, &b->ScrollInfo);
        BarUsable(b->Kind);  // for the arrows' flags
    }
    if (repaint) PaintScrollBars(nullptr);
}

void TacScrollWnd::NcCalcSize(vcl::TMessage& m) {
    auto style = win::GetWindowLongPtrA(CtrlHandle, win::GWL_STYLE);
    auto* rect = m.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                          : reinterpret_cast<win::RECT*>(m.LParam);
    if (rect == nullptr) {
        CallPrevWndProc(m);
        return;
    }
    win::RECT proposed = *rect;
    const auto bars = win::WS_HSCROLL | win::WS_VSCROLL;
    if (style & bars) {
        StyleGuard = true;
        win::SetWindowLongPtrA(CtrlHandle, win::GWL_STYLE, style & ~bars);
        CallPrevWndProc(m);
        win::SetWindowLongPtrA(CtrlHandle, win::GWL_STYLE, style);
        StyleGuard = false;
    } else {
        CallPrevWndProc(m);
    }
    win::RECT& c = *rect;
    Border = NonClientBorders{c.left - proposed.left, c.top - proposed.top,
                              proposed.right - c.right, proposed.bottom - c.bottom};
    HBar.Flags = uint16_t((HBar.Flags & ~TacScrollBar::kHasStyle) |
                          ((style & win::WS_HSCROLL) ? TacScrollBar::kHasStyle : 0));
    VBar.Flags = uint16_t((VBar.Flags & ~TacScrollBar::kHasStyle) |
                          ((style & win::WS_VSCROLL) ? TacScrollBar::kHasStyle : 0));
    int h = BarThickness(HBar);
    HBar.Shown = (style & win::WS_HSCROLL) && h <= c.bottom - c.top;
    if (HBar.Shown) c.bottom -= h;
    int v = BarThickness(VBar);
    VBar.Shown = (style & win::WS_VSCROLL) && v <= c.right - c.left;
    if (VBar.Shown) (LeftScrollBar ? c.left += v : c.right -= v);
}

bool TacScrollWnd::NcHitTest(vcl::TMessage& m) {
    win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
    ScrollBarRects r = BarRects();
    if (HBar.Shown && PtIn(r.horz, p)) {
        m.Result = BarUsable(win::SB_HORZ) ? win::HTHSCROLL : win::HTNOWHERE;
        return true;
    }
    if (VBar.Shown && PtIn(r.vert, p)) {
        m.Result = BarUsable(win::SB_VERT) ? win::HTVSCROLL : win::HTNOWHERE;
        return true;
    }
    if (HBar.Shown && VBar.Shown && PtIn(r.sizeBox, p)) {
        if (GripShown(r)) {
            m.Result = win::HTBOTTOMRIGHT;
            return true;
        }
    }
    return false;
}

bool TacScrollWnd::GripShown(const ScrollBarRects& r) const {
    win::HWND parent = win::GetParent(CtrlHandle);
    if (parent == nullptr) return false;
    win::RECT pc{};
    win::GetClientRect(parent, &pc);
    win::POINT o{0, 0};
    win::ClientToScreen(parent, &o);
    win::OffsetRect(&pc, o.x, o.y);
    // A form owned by another window is still top-level: GetParent names its owner.
    const bool topLevel = (win::GetWindowLongPtrA(parent, win::GWL_STYLE) & win::WS_CHILD) == 0;
    return SizeGripShown(r, Border, LeftScrollBar, topLevel, pc);
}

void TacScrollWnd::ForgetMouseState() {
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow != CtrlHandle || CtrlHandle == nullptr) return;
    if (win::IsWindow(CtrlHandle)) {
        if (s.HoverTimer) win::KillTimer(CtrlHandle, kHoverTimer);
        if (s.RepeatTimer) win::KillTimer(CtrlHandle, s.RepeatTimer);
        if (s.PressedPart != spNone && win::GetCapture() == CtrlHandle) win::ReleaseCapture();
    }
    s = ScrollMouseState{};
}

// One window at a time: the old one's press and hover end before this one takes the state.
void TacScrollWnd::MakeCurrent() {
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow == CtrlHandle) return;
    win::HWND old = s.CurrentWindow;
    auto* a =
        old && win::IsWindow(old) ? dynamic_cast<TacScrollWnd*>(FindWindowAdapter(old)) : nullptr;
    if (a && a->Unhooked) a = nullptr;
    // A press that runs without the capture (a combo's list keeps it) would repeat for ever.
    if (s.PressedPart != spNone && a) a->EndPress(true);
    if (old && win::IsWindow(old)) {
        if (s.RepeatTimer) win::KillTimer(old, s.RepeatTimer);
        if (s.HoverTimer) win::KillTimer(old, kHoverTimer);
    }
    s = ScrollMouseState{};
    if (a) a->PaintScrollBars(nullptr);
    s.CurrentWindow = CtrlHandle;
}

void TacScrollWnd::DoScrollAction(uint32_t msg, int code, int pos) {
    uintptr_t pair = uintptr_t(uint16_t(code)) | (uintptr_t(uint16_t(msg)) << 16);
    intptr_t answer = win::SendMessageA(CtrlHandle, SM_ALPHACMD,
                                        SkinCommandWParam(SKC_BEFORESCROLL, uint16_t(code)), intptr_t(pair));
    int bar = msg == win::WM_HSCROLL ? win::SB_HORZ : win::SB_VERT;
    if (answer != 1) {
        if (code == win::SB_THUMBTRACK) {
            win::SCROLLINFO si;
            si.fMask = win::SIF_POS;
            si.nPos = pos;
            win::SetScrollInfo(CtrlHandle, bar, &si, win::FALSE);
        }
        win::SendMessageA(CtrlHandle, msg, win::MAKEWPARAM(uint16_t(code), uint16_t(std::clamp(pos, 0, 65535))), 0);
    } else {
        win::SendMessageA(CtrlHandle, msg, win::MAKEWPARAM(uint16_t(code), uint16_t(std::clamp(pos, 0, 65535))), pos);
    }
    if (win::IsWindow(CtrlHandle))
        win::SendMessageA(CtrlHandle, SM_ALPHACMD, SkinCommandWParam(SKC_AFTERSCROLL, uint16_t(code)),
                          intptr_t(pair));
}

void TacScrollWnd::StartPress(int part) {
    ScrollMouseState& s = ScrollMouse();
    s.RepeatingPart = part;
    PaintBar(s.PressedBar, nullptr, part, -1);
    OwnScrollMessage = true;
    DoScrollAction(s.ScrollMessage, part, 0);
    OwnScrollMessage = false;
    if (Unhooked || s.CurrentWindow != CtrlHandle) return;
    s.RepeatingPart = s.PressedPart;
    s.RepeatTimer = win::SetTimer(CtrlHandle, kFirstRepeatTimer, kRepeatFirst, nullptr);
}

bool TacScrollWnd::NcLButtonDown(vcl::TMessage& m) {
    if (m.WParam != win::HTHSCROLL && m.WParam != win::HTVSCROLL) return false;
    MakeCurrent();
    ScrollMouseState& s = ScrollMouse();
    const bool horz = m.WParam == win::HTHSCROLL;
    const int bar = horz ? win::SB_HORZ : win::SB_VERT;
    TacScrollBar& b = Bar(bar);
    b.ScrollInfo.fMask = win::SIF_ALL;
    win::GetScrollInfo(CtrlHandle, b.Kind, &b.ScrollInfo);
    const win::POINT p{win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)};
    const int part = PartAt(bar, p);
    if (part == spNone) return false;
    m.Result = 0;
    // Asked now, not at the last refresh: the bar or an arrow may have been disabled since. A
    // press that cannot scroll takes neither the capture nor any state.
    const uint16_t arrowOff = part == spFirstArrow    ? TacScrollBar::kFirstDisabled
                              : part == spSecondArrow ? TacScrollBar::kSecondDisabled
                                                      : 0;
    if (!BarUsable(bar) || (b.Flags & arrowOff)) return true;
    s.ScrollMessage = horz ? win::WM_HSCROLL : win::WM_VSCROLL;
    s.PressedBar = bar;
    s.PressedPart = part;
    if (part != spThumb) {
        win::SetCapture(CtrlHandle);
        StartPress(part);
        return true;
    }
    const Layout l = BarLayout(bar);
    const ThumbPlace t = CalcScrollThumbRect(l.a, l.b, l.arrow, b.ScrollInfo, b.MinThumb);
    s.ThumbBounds = l.rect;
    s.ThumbLength = t.length;
    s.ThumbPos = t.start;
    ThumbTracking = true;
    b.ScrollInfo.nTrackPos = b.ScrollInfo.nPos;
    s.ThumbMouseOffset = (horz ? p.x : p.y) - t.start;
    s.LastTrackPosition = b.ScrollInfo.nPos;
    s.RepeatingPart = spThumb;
    win::SetCapture(CtrlHandle);
    PaintBar(bar, nullptr, spThumb, t.start - l.a);
    return true;
}

void TacScrollWnd::FollowPress(win::POINT screen) {
    ScrollMouseState& s = ScrollMouse();
    TacScrollBar& b = Bar(s.PressedBar);
    b.ScrollInfo.fMask = win::SIF_ALL;
    win::GetScrollInfo(CtrlHandle, b.Kind, &b.ScrollInfo);
    s.RepeatingPart = PartAt(s.PressedBar, screen) == s.PressedPart ? s.PressedPart : spNone;
    PaintBar(s.PressedBar, nullptr, s.RepeatingPart, -1);
}

bool TacScrollWnd::MouseMove(vcl::TMessage&) {
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow != CtrlHandle || s.PressedPart == spNone) return false;
    win::POINT p = MessagePoint();
    TacScrollBar& b = Bar(s.PressedBar);
    bool horz = s.PressedBar == win::SB_HORZ;
    if (ThumbTracking) {
        int a = horz ? s.ThumbBounds.left : s.ThumbBounds.top;
        int e = horz ? s.ThumbBounds.right : s.ThumbBounds.bottom;
        int arrow = BarArrowLength(b, true);
        int start = DraggedThumbStart(a, e, arrow, s.ThumbLength, horz ? p.x : p.y, s.ThumbMouseOffset);
        s.ThumbPos = start;
        PaintBar(s.PressedBar, nullptr, spThumb, start - a);
        int pos = ScrollPosForThumb(a, e, arrow, b.ScrollInfo, start, b.MinThumb);
        if (pos != s.LastTrackPosition) {
            b.ScrollInfo.nTrackPos = pos;
            // While the window handles the move, the last tracked position is the one before
            // it: a list that scrolls by the difference must see where the thumb came from.
            OwnScrollMessage = true;
            DoScrollAction(s.ScrollMessage, win::SB_THUMBTRACK, pos);
            OwnScrollMessage = false;
            s.LastTrackPosition = pos;
        }
        return true;
    }
    FollowPress(p);
    return true;
}

void TacScrollWnd::EndPress(bool releaseCapture) {
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow != CtrlHandle || s.PressedPart == spNone) return;
    int bar = s.PressedBar, part = s.PressedPart;
    uint32_t msg = s.ScrollMessage;
    if (s.RepeatTimer) win::KillTimer(CtrlHandle, s.RepeatTimer);
    s.RepeatTimer = 0;
    s.PressedPart = s.RepeatingPart = spNone;
    s.PressedBar = -1;
    s.ScrollMessage = 0;
    if (releaseCapture && win::GetCapture() == CtrlHandle) win::ReleaseCapture();
    int endPos = 0;
    OwnScrollMessage = true;
    if (part == spThumb && ThumbTracking) {
        ThumbTracking = false;
        endPos = s.LastTrackPosition;
        DoScrollAction(msg, win::SB_THUMBPOSITION, endPos);
    }
    ThumbTracking = false;
    if (win::IsWindow(CtrlHandle) && !Unhooked) DoScrollAction(msg, win::SB_ENDSCROLL, endPos);
    OwnScrollMessage = false;
    if (win::IsWindow(CtrlHandle) && !Unhooked) {
        RefreshScrollBarInfo(false);
        PaintBar(bar, nullptr, spNone, -1);
    }
}

bool TacScrollWnd::LButtonUp(vcl::TMessage& m) {
    ScrollMouseState& s = ScrollMouse();
    if (s.CurrentWindow != CtrlHandle || s.PressedPart == spNone) return false;
    EndPress(true);
    CallPrevWndProc(m);
    return true;
}

bool TacScrollWnd::Timer(vcl::TMessage& m) {
    ScrollMouseState& s = ScrollMouse();
    bool mine = s.CurrentWindow == CtrlHandle;
    uintptr_t id = m.WParam;
    if (!mine || (id != kHoverTimer && id != kFirstRepeatTimer && id != kRepeatTimer)) return false;
    if (id == kFirstRepeatTimer) {
        win::KillTimer(CtrlHandle, kFirstRepeatTimer);
        s.RepeatTimer = win::SetTimer(CtrlHandle, kRepeatTimer, kRepeatNext, nullptr);
        m.Result = 0;
        return true;
    }
    if (id == kRepeatTimer) {
        if (s.PressedPart == spNone) {
            win::KillTimer(CtrlHandle, kRepeatTimer);
            return true;
        }
        // The cursor's screen position: a left-side bar lies at negative client coordinates.
        win::POINT p{};
        win::GetCursorPos(&p);
        FollowPress(p);
        if (s.RepeatingPart != spNone) {
            OwnScrollMessage = true;
            DoScrollAction(s.ScrollMessage, s.RepeatingPart, 0);
            OwnScrollMessage = false;
        }
        m.Result = 0;
        return true;
    }
    // Hover.
    if (ThumbTracking) return true;
    win::POINT p{};
    win::GetCursorPos(&p);
    if (PtIn(s.HoverRect, p) && s.HotBar >= 0) {
        s.HotPart = PartAt(s.HotBar, p);
        if (s.HotPart != s.LastHotPart) PaintBar(s.HotBar, nullptr, spNone, -1);
        s.LastHotPart = s.HotPart;
    } else {
        win::KillTimer(CtrlHandle, kHoverTimer);
        s.HoverTimer = 0;
        s.HotBar = s.HotPart = s.LastHotPart = -1;
        PaintScrollBars(nullptr);
    }
    m.Result = 0;
    return true;
}

void TacScrollWnd::NcMouseMove(vcl::TMessage& m) {
    MakeCurrent();
    ScrollMouseState& s = ScrollMouse();
    int bar = m.WParam == win::HTHSCROLL ? win::SB_HORZ
              : m.WParam == win::HTVSCROLL ? win::SB_VERT
                                           : -1;
    if (bar < 0 || s.HotBar == bar) return;
    s.LastHotPart = s.HotPart = spNone;
    ScrollBarRects r = BarRects();
    s.HoverRect = bar == win::SB_HORZ ? r.horz : r.vert;
    s.HotBar = bar;
    s.HoverTimer = win::SetTimer(CtrlHandle, kHoverTimer, kHoverTick, nullptr);
    PaintScrollBars(nullptr);
}

void TacScrollWnd::DropBarImages() {
    for (BarImageInputs& in : ImageInputs)
        in = BarImageInputs{};
}

void TacScrollWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!Skinned()) {
        TacMainWnd::AdapterWindowProc(m);
        return;
    }
    ScrollMouseState& s = ScrollMouse();
    switch (m.Msg) {
        case SM_ALPHACMD:
            // Whatever the command does to the skin, the bars are composed afresh.
            DropBarImages();
            break;
        case win::WM_NCCALCSIZE:
            NcCalcSize(m);
            return;
        case win::WM_NCHITTEST:
            if (NcHitTest(m)) return;
            break;
        case win::WM_NCPAINT:
            // The default frame first, the bars over it.
            CallPrevWndProc(m);
            if (win::IsWindowVisible(CtrlHandle) && SkinData) {
                SkinData->BGChanged = SkinData->GetBGChanged();
                if (!SkinData->BGChanged && !OwnScrollMessage) PaintScrollBars(nullptr, -1, uint32_t(m.LParam));
            }
            return;
        case win::WM_NCLBUTTONDOWN:
        case win::WM_NCLBUTTONDBLCLK:
            if (NcLButtonDown(m)) return;
            break;
        case win::WM_NCMOUSEMOVE:
            NcMouseMove(m);
            break;
        case win::WM_MOUSEMOVE:
            if (MouseMove(m)) return;
            break;
        case win::WM_LBUTTONUP:
            if (LButtonUp(m)) return;
            break;
        case win::WM_TIMER:
            if (Timer(m)) {
                // A hover tick repaints only when the hot part changes.
                if (!OwnScrollMessage && !ThumbTracking && !Unhooked)
                    RefreshScrollBarInfo(m.WParam != kHoverTimer);
                return;
            }
            break;
        case win::WM_NCRBUTTONDOWN:
        case win::WM_NCRBUTTONUP:
        case win::WM_NCMBUTTONDOWN:
        case win::WM_NCMBUTTONUP:
            if (m.WParam == win::HTHSCROLL || m.WParam == win::HTVSCROLL) {
                m.Result = 0;
                return;
            }
            break;
        case win::WM_SYSCOMMAND:
            if ((m.WParam & 0xFFF0) == win::SC_VSCROLL || (m.WParam & 0xFFF0) == win::SC_HSCROLL) {
                m.Result = 0;
                return;
            }
            break;
        case win::WM_STYLECHANGED:
            if (StyleGuard) {
                m.Result = 0;
                return;
            }
            if (intptr_t(m.WParam) == win::GWL_EXSTYLE && m.LParam) {
                auto* ss = reinterpret_cast<const win::STYLESTRUCT*>(m.LParam);
                LeftScrollBar = (ss->styleNew & win::WS_EX_LEFTSCROLLBAR) != 0;
            }
            break;
        case win::WM_CAPTURECHANGED:
        case win::WM_CANCELMODE:
            // Losing the mouse ends a press, or its repeat would run on for ever.
            if (s.CurrentWindow == CtrlHandle && s.PressedPart != spNone) EndPress(m.Msg == win::WM_CANCELMODE);
            break;
        case win::WM_MOUSEWHEEL:
            CallPrevWndProc(m);
            if (!OwnScrollMessage && !Unhooked) RefreshScrollBarInfo(true);
            return;
        case win::WM_DESTROY:
        case win::WM_NCDESTROY:
            ForgetMouseState();
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWindowProc(m);
}

}  // namespace skin
