// The size grip adapter (the skin's grip image at the bottom-right corner over the parent's
// background) and the up-down adapter (two skinned halves, each with its own hot and pressed
// look and the skin's arrow). Both paint into the skin state's cache and copy it in one go.
#pragma once

#include "skin/windows/adapters/window_adapter.h"

namespace skin {

struct TsMaskData;

class TacSizerWnd : public TacMainWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;

private:
    TsSkinManager* Manager() const;
    // The skin's grip image; without one the window keeps its own look.
    const TsMaskData* Grip() const;
    void Paint(win::HDC dc, const TsMaskData& grip);
};

class TacSpinWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;
    bool IsVertical() const;

    bool Pressed = false;       // the left button is down on the control
    int HotPart = -1;           // 0 the upper (left) half, 1 the lower (right) one, -1 none
    int PartStates[2] = {0, 0};  // the paint state of each half as last painted
    int HalvesLeft = 0;          // where the halves begin; left of it the parent shows

private:
    TsSkinManager* Manager() const;
    void Paint(win::HDC dc);
    // Half `part` in the window's own coordinates, the window being `size` large.
    vcl::TRect HalfRect(int part, vcl::TPoint size) const;
    // The half under the cursor, or -1.
    int PartUnderCursor() const;
};

}  // namespace skin
