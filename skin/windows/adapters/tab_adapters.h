// Adapters of tab controls and page controls with their pages. The tab control's adapter paints
// the page area and every tab from the skin (the selected one last, straight into the window, so
// it stands over the page frame), writes the captions (turned on the left and right sides) and
// skins the control's scroll arrows. The page control's adapter gives each page a page adapter
// that shows the page control's skin behind it; a page adapter goes with its page window or
// with the page control's adapter.
//
// The adapters talk to the control with the tab messages below only.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/font.h"
#include "skin/windows/adapters/window_adapter.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TacSpinWnd;
class TacPageWnd;

// The tab control's messages, styles and item record, as the native class answers them.
inline constexpr uint32_t TCM_GETIMAGELIST = 0x1302;
inline constexpr uint32_t TCM_GETITEMCOUNT = 0x1304;
inline constexpr uint32_t TCM_GETITEMA = 0x1305;
inline constexpr uint32_t TCM_GETITEMRECT = 0x130A;
inline constexpr uint32_t TCM_GETCURSEL = 0x130B;
inline constexpr uint32_t TCM_SETCURSEL = 0x130C;
inline constexpr uint32_t TCM_ADJUSTRECT = 0x1328;
inline constexpr uint32_t TCS_BOTTOM = 0x0002;
inline constexpr uint32_t TCS_RIGHT = 0x0002;
inline constexpr uint32_t TCS_FLATBUTTONS = 0x0008;
inline constexpr uint32_t TCS_VERTICAL = 0x0080;
inline constexpr uint32_t TCS_BUTTONS = 0x0100;
inline constexpr uint32_t TCIF_TEXT = 0x0001;
inline constexpr uint32_t TCIF_IMAGE = 0x0002;
inline constexpr uint32_t TCIF_STATE = 0x0010;

struct TCITEMA {
    uint32_t mask = 0;
    uint32_t dwState = 0;
    uint32_t dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    intptr_t lParam = 0;
};

enum TacTabSide : int { tsTop = 0, tsBottom = 1, tsLeft = 2, tsRight = 3 };

// The font a caption on the left or right side is written with: the control's, turned (90
// degrees on the left, 270 on the right), of normal weight, "MS Sans Serif" replaced by
// "Arial", which can be turned.
win::LOGFONTA RotatedTabFont(const win::LOGFONTA& base, int side);

class TacTabControlWnd : public TacMainWnd {
public:
    ~TacTabControlWnd() override;
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    int TabPosition() const;  // a TacTabSide
    int TabStyle() const;     // 0 tabs, 1 buttons, 2 flat buttons
    int TabCount() const;
    // The display area, its top moved down by 2.
    virtual vcl::TRect PageRect();
    // The window cut down to the page body on the tab side; the whole window without tabs.
    virtual vcl::TRect PageFrameRect();
    // Tab `i`'s painted rectangle, as the selected tab or not; empty when there is none.
    vcl::TRect TabRect(int i, bool selected);
    // The section the page area is painted with now.
    std::string AreaSection();

    TacSpinWnd* SpinAdapter = nullptr;
    // The indexes of the tabs in the order the last paint drew them.
    std::vector<int> PaintOrder;

protected:
    void PaintPageArea(win::HDC dc);
    void PaintTab(int index, int state, vcl::TBitmap* cacheBehind, win::HDC target,
                  vcl::TBitmap* targetBmp);
    void RecreateSpin();
    void Invalidate();

private:
    void WriteCaption(vcl::TCanvas* canvas, const std::string& text, int image, int state,
                      int skinIndex, const vcl::TRect& r);
};

class TacPageControlWnd : public TacTabControlWnd {
public:
    ~TacPageControlWnd() override;
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;
    // Gives each direct child window that has no skin yet a page adapter.
    void AdaptPages();
    const std::vector<TacPageWnd*>& Pages() const { return pages_; }

private:
    friend class TacPageWnd;
    std::vector<TacPageWnd*> pages_;
};

class TacPageWnd : public TacMainWnd {
public:
    ~TacPageWnd() override;
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    TacPageControlWnd* PageControl = nullptr;

private:
    void Paint(win::HDC dc);
};

}  // namespace skin
