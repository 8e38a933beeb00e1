// The scrollable adapters with a skinned frame: TacBaseWnd keeps the frame's cache image up to
// date; TacEditWnd paints the frame from it, gives the control the skin's colours (and its own
// back when the skin goes) and repaints the frame for focus and hover.
#pragma once

#include <cstdint>

#include "skin/windows/scroll/scroll_wnd.h"

namespace skin {

class TacBaseWnd : public TacScrollWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;
};

class TacEditWnd : public TacBaseWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The frame strips of the cache and the bars, on the window's DC (or `dc`).
    void PaintFrame(win::HDC dc);

    uint32_t SavedColor = 0, SavedFontColor = 0, SavedFocusColor = 0;
    bool HasFocusColor = false;
    uint32_t SkinColor = 0;  // the colour a window without a class-library control paints with
    bool Painted = false;

protected:
    void PrepareCache() override;
};

}  // namespace skin
