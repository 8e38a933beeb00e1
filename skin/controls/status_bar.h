// TsStatusBar: the class library's status bar with a skin state (kind 151, section
// "STATUSBAR"); it may hold controls. Its panels are the base's.
//
// Skinned, it paints its cache and copies it whole: the section, then each panel framed by the
// section's "STATUSPANELMASK" or, without that mask, a "DIVIDER" between panels (none after
// the last), the panel's text cut with "..." in the section's colours, and the grip from the
// skin's "GRIPIMAGE". Panel i starts where the ones before it end; the last always reaches
// the right edge. In simple mode one area (0, 1, Width - 1, Height - 1) holds SimpleText.
#pragma once

#include <memory>
#include <vector>

#include "skin/core/state/common_data.h"
#include "vcl/controls/status_bar.h"

namespace skin {

class TsStatusBar : public vcl::TStatusBar {
public:
    VCL_CLASS_PUBLISHED(TsStatusBar, vcl::TStatusBar)
    explicit TsStatusBar(vcl::TComponent* owner);
    ~TsStatusBar() override;

    TsCommonData* SkinData() const { return skinData_.get(); }

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;
    // Rebuilds the skinned picture into the cache (the control must be skinned).
    void PrepareCache();
    // The areas of the panels as the skin paints them (one in simple mode).
    std::vector<vcl::TRect> PanelAreas() const;
    // The text area of a panel's area.
    static vcl::TRect TextArea(const vcl::TRect& area);

private:
    void PaintToDC(win::HDC dc);
    void PaintPanelText(const std::string& text, const vcl::TRect& area, uint32_t align);

    std::unique_ptr<TsCommonData> skinData_;
};

}  // namespace skin
