// Skinned scroll bars: the adapter that takes a window's standard bars off its client area and
// paints, hit-tests, hot-tracks, presses, drags and repeats them itself from the skin, while
// the window keeps its own scroll state (read with GetScrollInfo, driven with WM_HSCROLL and
// WM_VSCROLL).
//
// Mouse states (one set for the process: only one bar is under the mouse or pressed at a time,
// and the state belongs to the current window):
//   idle  --WM_NCMOUSEMOVE over a bar-->  hover (hot bar, 20 ms hover timer)
//   hover --hover tick outside the bar-->  idle
//   idle/hover --press on an arrow or page area-->  pressed (capture, 300 ms then 55 ms repeat)
//   idle/hover --press on the thumb-->  dragging (capture, SB_THUMBTRACK on each new position)
//   pressed/dragging --button up, capture lost, WM_CANCELMODE-->  idle (SB_THUMBPOSITION after
//                      a drag, then SB_ENDSCROLL)
// Making another window current ends the old one's press and kills its hover timer, and
// repaints its bars unhot.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "skin/controls/window_services.h"
#include "skin/windows/adapters/window_adapter.h"
#include "skin/windows/scroll/scroll_bar_geometry.h"
#include "vcl/system/object.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TacScrollWnd;
struct CacheInfo;

// One bar of an adapted window.
struct TacScrollBar {
    enum : uint16_t { kFirstDisabled = 1, kSecondDisabled = 2, kHasStyle = 8 };
    uint16_t Flags = 0;
    bool Shown = false;  // laid out in the non-client area
    win::SCROLLINFO ScrollInfo{};
    int ArrowLength = -1;  // pixels, or a negative multiple of the default
    int Thickness = -1;    // pixels, or a negative multiple of the system metric
    int Kind = win::SB_HORZ;
    int MinThumb = kDefaultMinThumb;
    TacScrollWnd* Owner = nullptr;
};

// Timer ids on the adapted window.
inline constexpr uintptr_t kHoverTimer = 65522;
inline constexpr uintptr_t kFirstRepeatTimer = 65533;
inline constexpr uintptr_t kRepeatTimer = 65534;

// How a bar's parts look: 0 normal, 1 hot, 2 pressed.
struct BarLooks {
    int First = 0, Second = 0, Thumb = 0;
    int PressedPart = spNone;
    bool Enabled = true;
    int ThumbStart = -1;  // along the bar; -1 from the scroll information
    bool operator==(const BarLooks&) const = default;
};

// Everything a composed bar image is made from; an image made from equal inputs is shown again
// as it stands. The skin is not part of it: any skin command drops the images.
struct BarImageInputs {
    bool Valid = false;
    bool Vertical = false;
    int Width = 0, Height = 0;
    int Min = 0, Max = 0, Pos = 0;
    unsigned Page = 0;
    int Arrow = 0, GlyphBox = 0, MinThumb = 0;
    BarLooks Looks;
    const void* Manager = nullptr;
    const void* Masks = nullptr;      // the skin's pictures, new with every skin loaded
    uint32_t Fill = 0;                // the background's colour where it has no picture
    bool Picture = false;             // whether it has one
    std::vector<uint8_t> Background;  // the pixels behind the bar, as they were composed over
    bool operator==(const BarImageInputs&) const = default;
};

// The process-wide mouse state of the skinned bars.
struct ScrollMouseState {
    win::HWND CurrentWindow = nullptr;
    int PressedBar = -1;
    int PressedPart = spNone;
    int RepeatingPart = spNone;
    uint32_t ScrollMessage = 0;
    uintptr_t RepeatTimer = 0;
    int HotBar = -1;
    int HotPart = spNone;
    int LastHotPart = spNone;
    uintptr_t HoverTimer = 0;
    win::RECT HoverRect{};
    win::RECT ThumbBounds{};
    int ThumbLength = 0, ThumbPos = 0, ThumbMouseOffset = 0;
    int LastTrackPosition = -1;
};
ScrollMouseState& ScrollMouse();

// The skinned controls hold it as their control adapter.
class TacScrollWnd : public TacMainWnd, public TacControlAdapter {
public:
    TacScrollWnd();
    ~TacScrollWnd() override;

    void AdapterWindowProc(vcl::TMessage& m) override;

    // Re-reads both bars' scroll information; with `repaint` paints them.
    void RefreshScrollBarInfo(bool repaint) override;
    // Both bars and the size box on `dc` (the window DC when null); `thumbPos` -1 takes the
    // thumb from the scroll information. True when anything was painted.
    bool PaintScrollBars(win::HDC dc, int thumbPos, uint32_t flags) override;
    bool PaintScrollBars(win::HDC dc) { return PaintScrollBars(dc, -1, 0); }
    bool Destroyed() const override { return Unhooked; }
    int BorderWidthX() const override { return Border.left; }
    int BorderWidthY() const override { return Border.top; }
    int HorzBarHeight() const override { return HBar.Shown ? BarThickness(HBar) : 0; }
    int VertBarWidth() const override { return VBar.Shown ? BarThickness(VBar) : 0; }
    void WndProc(vcl::TMessage& m) override { AdapterWindowProc(m); }

    TacScrollBar& Bar(int kind) { return kind == win::SB_VERT ? VBar : HBar; }
    // A bar's thickness, and its arrow length with or without the skin's image size.
    int BarThickness(const TacScrollBar& b) const;
    int BarArrowLength(const TacScrollBar& b, bool useSkin) const;
    // Where the bars and the size box lie now, in screen coordinates.
    ScrollBarRects BarRects() const;
    // A bar as painting, hit testing and dragging all take it: its rectangle (screen), its
    // extent [a, b) along its direction and its arrows' length, the skin's rule applied.
    struct Layout {
        win::RECT rect{};
        int a = 0, b = 0;
        int arrow = 0;
    };
    Layout BarLayout(int kind) const;
    // Whether the size box shows the grip (and answers HTBOTTOMRIGHT).
    bool GripShown(const ScrollBarRects& r) const;
    // Whether a bar can scroll (GetScrollBarInfo's answer); the bar's arrow flags follow the
    // same answer.
    bool BarUsable(int kind);
    int PartAt(int kind, win::POINT screen);

    TacScrollBar HBar, VBar;
    bool ThumbTracking = false;
    bool LeftScrollBar = false;
    NonClientBorders Border;
    bool StyleGuard = false;
    bool OwnScrollMessage = false;
    // How often a bar was put on the window, and how often its image had to be composed for
    // that (the other times the image kept from the paint before was shown again).
    int BarsShown = 0, BarsComposed = 0;

protected:
    void Bind() override;
    // The handlers of the bars' messages; each answers whether it consumed the message.
    void NcCalcSize(vcl::TMessage& m);
    bool NcHitTest(vcl::TMessage& m);
    bool NcLButtonDown(vcl::TMessage& m);
    bool MouseMove(vcl::TMessage& m);
    bool LButtonUp(vcl::TMessage& m);
    bool Timer(vcl::TMessage& m);
    void NcMouseMove(vcl::TMessage& m);
    // Ends a press: the repeat timer killed, SB_THUMBPOSITION after a drag, SB_ENDSCROLL, the
    // bar repainted unpressed.
    void EndPress(bool releaseCapture);
    void StartPress(int part);
    // The pressed part at `screen` shows pressed and repeats while the cursor is on it.
    void FollowPress(win::POINT screen);
    // Makes this window the one the module state belongs to.
    void MakeCurrent();
    void DoScrollAction(uint32_t msg, int code, int pos);
    void PaintBar(int kind, win::HDC dc, int pressedPart, int thumbPos);
    void PaintSizeBox(win::HDC dc);
    // The off-screen image of a bar (slot SB_HORZ or SB_VERT) or of the size box, kept from
    // paint to paint while its size stays; every paint covers all of it.
    static constexpr int kSizeBoxImage = 2;
    vcl::TBitmap* ComposeImage(int slot, int width, int height);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> Images[3];
    BarImageInputs ImageInputs[2];
    void DropBarImages();
    // The module state names this window no more.
    void ForgetMouseState();
};

class TsSkinManager;
// What lies behind `wnd` at `screen` (a rectangle of its window, screen coordinates), shown
// there on its window DC.
void ShowBackgroundBehind(win::HWND wnd, const win::RECT& screen);

// The parts of a skinned bar over the background `bg`, as the arithmetic places them, on the
// whole of `target` (the bar's length along its direction). Exposed for the painting tests.
void PaintBarImage(vcl::TBitmap* target, TsSkinManager* manager, bool vertical,
                   const win::SCROLLINFO& si, int arrow, int arrowGlyphBox, int minThumb,
                   const BarLooks& looks, const CacheInfo& bg);

}  // namespace skin
