// TsCustomListView and TsListView: the skinned list view (kind 10, section "EDIT") with a
// bound label. With a skin its background and text take the section's colours and, in the
// report view, its column header is subclassed and painted from "COLHEADER" (else "BUTTON"):
// the heading under the mouse lights up (HighlightHeaders), a pressed one sinks, sort arrows
// come from the skin's scroll-button glyphs. Frame and bars come from the adapter the window
// skinning gives through the seam; without one the platform's stay, and scrolling is the class
// library's.
#pragma once

#include <string_view>

#include "skin/controls/edit_skin.h"
#include "skin/controls/window_services.h"
#include "vcl/controls/list_view.h"

namespace skin {

// Paints heading `index` of `header` (-1: the empty area right of the last one, no text)
// into `r` of `dc` in `state` (0 normal, 1 hot, 2 pressed). `textPad` is what the text's
// extent is widened by; `images` the list's small images (null: no image room).
void PaintHeaderItem(win::HWND header, int index, const vcl::TRect& r, int state, TsSkinManager* mgr,
                     win::HFONT font, win::HIMAGELIST images, bool enabled, int textPad,
                     win::HDC dc);

class TsCustomListView : public TsEditSkinned<vcl::TCustomListView> {
public:
    VCL_CLASS_PUBLISHED(TsCustomListView, vcl::TCustomListView)
    explicit TsCustomListView(vcl::TComponent* owner);
    ~TsCustomListView() override;

    bool HighlightHeaders() const { return highlightHeaders_; }
    void SetHighlightHeaders(bool on) { highlightHeaders_ = on; }

    // The subclassed header window (null while none), its hot (-2: none) and pressed (-1:
    // none) heading.
    win::HWND HeaderHandle() const { return header_; }
    int HotColumn() const { return hot_; }
    int PressedColumn() const { return pressed_; }
    TacControlAdapter* Adapter() const { return adapter_.get(); }

    void WndProc(vcl::TMessage& message) override;

protected:
    void CreateWnd() override;
    bool CustomDraw(const vcl::TRect& rect) override;

private:
    static win::LRESULT HeaderProc(win::HWND wnd, win::UINT msg, win::WPARAM wParam,
                                            win::LPARAM lParam);
    void HeaderWndProc(vcl::TMessage& m);
    void SubclassHeader(win::HWND header);
    void ReleaseHeader();
    void PaintHeader(win::HDC dc);
    void RepaintHeader();
    void SetHot(int column);
    bool SkinCommand(vcl::TMessage& m);
    void UpdateAdapter();
    void RedrawAll();
    bool ThumbScroll(vcl::TMessage& m, bool vertical);
    intptr_t SendList(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    bool Report() const { return ViewStyle() == vcl::vsReport; }

    win::HWND header_ = nullptr;
    win::WNDPROC headerOldProc_ = nullptr;
    int pressed_ = -1;
    int hot_ = -2;
    bool highlightHeaders_ = true;
    bool tracking_ = false;
    AdapterPtr adapter_;
    int headerHeight_ = 0;
    win::HDC printDC_ = nullptr;
};

class TsListView : public TsCustomListView {
public:
    VCL_CLASS(TsListView, TsCustomListView)
    explicit TsListView(vcl::TComponent* owner) : TsCustomListView(owner) {}
};

}  // namespace skin
