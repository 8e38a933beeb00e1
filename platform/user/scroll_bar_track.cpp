// The modal loop of a press on a scroll bar.
//
// Arrows and page areas scroll at once, then after kFirstDelay every kRepeat milliseconds while
// the cursor stays on the part pressed (a page area repeats until the thumb reaches the
// cursor). The thumb follows the cursor: each change of the position it stands for goes out as
// SB_THUMBTRACK and SIF_TRACKPOS answers it; letting go sends SB_THUMBPOSITION. The position
// itself is the receiver's to set. Every press ends with SB_ENDSCROLL. The repeat runs on a
// thread timer with its own procedure, so window procedures never see its WM_TIMER.
#include <algorithm>

#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/modal_loop.h"
#include "platform/user/nc_paint.h"
#include "platform/user/painting.h"
#include "platform/user/scroll_bar_draw.h"
#include "platform/user/timers.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"

namespace win::detail {
namespace {

constexpr UINT kFirstDelay = 300;
constexpr UINT kRepeat = 55;

bool repeatDue = false;

void RepeatTick(HWND, UINT, UINT_PTR, DWORD) {
    repeatDue = true;
}

class BarTracker {
public:
    BarTracker(HWND hwnd, int bar) : hwnd_(hwnd), bar_(bar) {
        Window* w = Peek(hwnd);
        control_ = bar == SB_CTL;
        vertical_ = control_ ? (w->style & SBS_VERT) != 0 : bar == SB_VERT;
        notify_ = control_ && w->parent ? w->parent->handle : hwnd;
    }

    void Run(POINT screen);

private:
    // The layout in screen coordinates and the state, fresh; false when the bar is gone.
    bool Look(ScrollBarLayout* l, ScrollBar** b) {
        Window* w = Peek(hwnd_);
        if (w == nullptr) return false;
        *l = LayoutOfBar(w, bar_, b);
        if (*b == nullptr || IsRectEmpty(&l->bar)) return false;
        POINT o = control_ ? ClientOrigin(w) : POINT{ScreenRect(w).left, ScreenRect(w).top};
        auto shift = [&](RECT& r) { OffsetRect(&r, o.x, o.y); };
        shift(l->bar);
        shift(l->first);
        shift(l->second);
        shift(l->thumb);
        return true;
    }
    void Send(WORD code, int pos = 0) {
        if (!Peek(notify_)) return;
        LPARAM lp = control_ ? reinterpret_cast<LPARAM>(hwnd_) : 0;
        detail::Send(notify_, vertical_ ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), lp);
    }
    void Repaint() {
        Window* w = Peek(hwnd_);
        if (w == nullptr) return;
        if (control_) {
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        } else {
            PaintFrame(w, FrameParts::ScrollBars);
        }
    }
    int Along(POINT p) const { return vertical_ ? p.y : p.x; }
    int ThumbStart(const ScrollBarLayout& l) const {
        return vertical_ ? l.thumb.top - l.bar.top : l.thumb.left - l.bar.left;
    }
    bool Input(const MSG& m);
    void Tick();

    HWND hwnd_, notify_;
    int bar_;
    bool control_, vertical_;
    int part_ = kNoPart;
    int grab_ = 0;  // cursor minus thumb start, along the bar, when the drag began
    UINT_PTR timer_ = 0;
    bool firstTick_ = true;
};

void BarTracker::Tick() {
    repeatDue = false;
    if (firstTick_) {  // from the first delay on to the repeat rate
        firstTick_ = false;
        timer_ = SetTimer(nullptr, timer_, kRepeat, &RepeatTick);
    }
    ScrollPress& press = CurrentScrollPress();
    ScrollBarLayout l;
    ScrollBar* b;
    if (!press.over || !Look(&l, &b)) return;
    POINT pt;
    GetCursorPos(&pt);
    if (ScrollBarPartAt(l, pt) != part_) return;  // the thumb reached the cursor
    Send(WORD(part_));
    Repaint();
}

bool BarTracker::Input(const MSG& m) {
    if (!Peek(hwnd_) || GetCapture() != hwnd_) return true;
    if (repeatDue) Tick();
    ScrollPress& press = CurrentScrollPress();
    ScrollBarLayout l;
    ScrollBar* b;
    switch (m.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            if (!Look(&l, &b)) return true;
            if (part_ == kThumb) {
                int start = Along(m.pt) - grab_ - (vertical_ ? l.bar.top : l.bar.left);
                start = std::clamp(start, l.trackStart, l.trackEnd - l.thumbLength);
                int pos = ScrollPosForThumb(l, *b, start);
                press.thumbStart = start;
                if (pos != b->trackPos) {
                    b->trackPos = pos;
                    Send(SB_THUMBTRACK, pos);
                }
                Repaint();
            } else {
                bool over = ScrollBarPartAt(l, m.pt) == part_ ||
                            (part_ <= kSecondArrow &&
                             PtInRect(part_ == kFirstArrow ? &l.first : &l.second, m.pt));
                if (over != press.over) {
                    press.over = over;
                    Repaint();
                }
            }
            return false;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            return true;
        default:
            return false;
    }
}

void BarTracker::Run(POINT screen) {
    ScrollBarLayout l;
    ScrollBar* b;
    if (CurrentScrollPress().window != nullptr || !Look(&l, &b)) return;
    Window* w = Peek(hwnd_);
    if ((w->style & WS_DISABLED) || !ScrollBarUsable(*b)) return;
    part_ = ScrollBarPartAt(l, screen);
    if (part_ == kNoPart) return;
    if ((part_ == kFirstArrow && (b->disabled & ESB_DISABLE_UP)) ||
        (part_ == kSecondArrow && (b->disabled & ESB_DISABLE_DOWN)))
        return;
    ScrollPress& press = CurrentScrollPress();
    press = ScrollPress{hwnd_, bar_, part_, true, part_ == kThumb, ThumbStart(l)};
    SetCapture(hwnd_);
    if (part_ == kThumb) {
        grab_ = Along(screen) - (vertical_ ? l.thumb.top : l.thumb.left);
        b->tracking = true;
        b->trackPos = b->pos;
        Repaint();
    } else {
        Repaint();
        Send(WORD(part_));
        Repaint();
        repeatDue = false;
        timer_ = SetTimer(nullptr, 0, kFirstDelay, &RepeatTick);
    }
    RunModalLoop([this](const MSG& m) { return Input(m); });
    if (timer_) KillTimer(nullptr, timer_);
    repeatDue = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (part_ == kThumb && Look(&l, &b)) {
        Send(SB_THUMBPOSITION, b->trackPos);
        if (Look(&l, &b)) b->tracking = false;
    }
    press = ScrollPress{};
    Send(SB_ENDSCROLL);
    Repaint();
}

}  // namespace

void TrackScrollBar(HWND hwnd, int bar, POINT screen) {
    if (Peek(hwnd) == nullptr) return;
    BarTracker t(hwnd, bar);
    t.Run(screen);
}

}  // namespace win::detail
