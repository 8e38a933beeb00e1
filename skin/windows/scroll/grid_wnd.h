// The frame-and-bars adapter of grids: besides the edit adapter's work it gives the grid the
// skin's fixed-cell colour and a line colour between fixed cells drawn from the skin's own
// colours instead of black, and to a grid that can shade its fixed cells, show a selection and
// colour its record mark, the skin's shades, highlight and font colour (each only when the grid
// publishes it); when the skin goes, it gives the grid's own colours back and lets the system
// bars come back. A grid over a data source reads the thumb's place from the bar's
// position, so the adapter puts the tracked position there before the grid hears of a drag,
// and once more when the drag ends.
#pragma once

#include <utility>
#include <vector>

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

    // The grid's own value of each colour the skin sets, for those it publishes.
    std::vector<std::pair<const char*, int64_t>> Saved;

private:
    // Before the grid sees a vertical scroll message; after SB_ENDSCROLL.
    void DataScrollBefore(const vcl::TMessage& m);
    void DataScrollAfter(const vcl::TMessage& m);
    // The client area painted through WM_PAINT into a print DC.
    void PrintClient(win::HDC dc);
};

}  // namespace skin
