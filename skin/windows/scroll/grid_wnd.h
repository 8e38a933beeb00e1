// The frame-and-bars adapter of grids: besides the edit adapter's work it gives the grid the
// skin's fixed-cell colour and a line colour between fixed cells drawn from the skin's own
// colours instead of black (when the grid publishes them), and, when the skin goes, lets the
// system bars come back. A grid over a data source reads the thumb's place from the bar's
// position, so the adapter puts the tracked position there before the grid hears of a drag,
// and once more when the drag ends.
#pragma once

#include "skin/windows/scroll/edit_wnd.h"

namespace skin {

class TsSkinManager;

// The lines between a grid's fixed cells under a skin: its font colour faded into its
// background, a shade that reads as a line without the classic black.
vcl::TColor FixedLineColorOf(const TsSkinManager* m);

class TacGridWnd : public TacEditWnd {
public:
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    int64_t SavedFixedColor = 0, SavedFixedLineColor = 0;
    bool HasFixedColor = false, HasFixedLineColor = false;

private:
    // Before the grid sees a vertical scroll message; after SB_ENDSCROLL.
    void DataScrollBefore(const vcl::TMessage& m);
    void DataScrollAfter(const vcl::TMessage& m);
    // The client area painted through WM_PAINT into a print DC.
    void PrintClient(win::HDC dc);
};

}  // namespace skin
