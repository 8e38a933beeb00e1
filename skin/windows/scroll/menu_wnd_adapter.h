// The adapter of a pop-up menu window ("#32768"). While no skinned menu is shown it is the
// scroll adapter; while one is, the window's background is the adapter's picture of its section
// and its frame the border of the skinned menus' prepared background of that pop-up.
//
// Destruction: the adapter gives the window back, the other menu windows still adapted are
// redrawn, and once none is live any more every menu adapter is freed (this one after the
// message it is running returns) and the skinned-menu flag is lowered.
#pragma once

#include "skin/windows/scroll/scroll_wnd.h"

namespace skin {

class TacMnuWnd : public TacScrollWnd {
public:
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The prepared background the frame was last copied from (the skinned menus own it).
    vcl::TBitmap* Background = nullptr;

protected:
    // The client area's background on `dc`: the cache (section and skinned border over what lies
    // behind) from 3 pixels inside its corner.
    virtual void PaintMenuBackground(win::HDC dc);

private:
    // The frame from the prepared background, when it is the window's size or that less the
    // frame on each side; false when it is neither.
    bool PaintMenuFrame();
    void Destroying(vcl::TMessage& m);
};

}  // namespace skin
