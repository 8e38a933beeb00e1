// The frame-and-bars adapter of grids: besides the edit adapter's work it gives the grid the
// skin's fixed-cell colour (when the grid publishes one) and, when the skin goes, lets the
// system bars come back.
#pragma once

#include "skin/windows/scroll/edit_wnd.h"

namespace skin {

class TacGridWnd : public TacEditWnd {
public:
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    int64_t SavedFixedColor = 0;
    bool HasFixedColor = false;
};

}  // namespace skin
