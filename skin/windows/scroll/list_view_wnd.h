// The adapter of list views that do not paint themselves through the skin: the edit adapter's
// frame, colours and bars, a column header painted from "COLHEADER" (else "BUTTON") with its
// hot and pressed column and the skin's sort arrows, and thumb tracking done by the adapter
// (the skinned bars hand the tracked position over in lParam).
//
// The header ("SysHeader32" child) is bound through an adapter of its own, so it is given back
// as every adapter is: its procedure goes back only while it is still the one in force.
#pragma once

#include <utility>
#include <vector>

#include "skin/windows/scroll/edit_wnd.h"

namespace skin {

class TacListViewWnd : public TacEditWnd {
public:
    ~TacListViewWnd() override;

    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The header's items in the order they show (its order array with HDS_DRAGDROP), each with
    // its rectangle in the header's client area, placed by summing the widths; a width beyond
    // 999999 ends the row.
    std::vector<std::pair<int, win::RECT>> HeaderItems() const;
    // Every item (hot, pressed, sort arrow) and the empty rest of the header, on `dc`.
    void PaintHeader(win::HDC dc);
    void RepaintHeader();
    // Sets the hot or pressed column (-1 none) and repaints the header when it changed.
    void SetHeaderColumns(int hot, int pressed);

    win::HWND Header = nullptr;
    int HotColumn = -1;
    int PressedColumn = -1;

private:
    enum class View { Other, List, Report };
    View CurrentView() const;
    void ThumbScroll(vcl::TMessage& m);
    void PrintHeader(win::HDC dc);
    TacMainWnd* headerAdapter_ = nullptr;
};

}  // namespace skin
