// TsFrameAdapter: dropped on a frame, it makes the frame paint its background and border from
// the skin (section "GROUPBOX" unless another is set), answer the skin questions its children
// ask their parent, and pass skin changes on to them. It takes the frame's WindowProc and gives
// it back when it goes.
#pragma once

#include <memory>

#include "skin/controls/window_services.h"
#include "vcl/controls/forms.h"

namespace skin {

class TsCommonData;

class TsFrameAdapter : public vcl::TComponent {
public:
    VCL_CLASS_PUBLISHED(TsFrameAdapter, vcl::TComponent)
    // Raises when `owner` is not a frame; the adapter is then attached to nothing.
    explicit TsFrameAdapter(vcl::TComponent* owner);
    ~TsFrameAdapter() override;

    TsCommonData* SkinData() const { return data_.get(); }
    vcl::TCustomFrame* Frame() const { return frame_; }
    TacControlAdapter* Adapter() const { return adapter_.get(); }

    void AfterConstruction() override;
    void Loaded() override;

private:
    void WndProc(vcl::TMessage& m);
    bool SkinCommand(vcl::TMessage& m);
    bool SkinnedCommand(vcl::TMessage& m);
    uint32_t BackgroundColor();  // RGB
    void PaintBackground(win::HDC dc);
    void TellChildren(uint16_t code);
    void Redraw(uint32_t flags);
    bool FrameSkinned() const;
    // The frame's popup menus drawn by the skinned menus, when the manager skins them.
    void OwnerDrawPopups();
    // The parent form hears of the frame's controls when the manager has the form skin the
    // controls that paint without the skin.
    void NotifyForm();

    std::unique_ptr<TsCommonData> data_;
    vcl::TCustomFrame* frame_ = nullptr;
    vcl::TWndMethod oldProc_;
    AdapterPtr adapter_;
    bool redrawOff_ = false;  // drawing switched off before a scroll, until after it
};

}  // namespace skin
