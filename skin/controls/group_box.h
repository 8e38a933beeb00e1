// TsGroupBox: the skinned group box (kind 74, section "GROUPBOX"). Its caption sits at the
// left, centre or right of the top edge (CaptionLayout) on a small section of its own
// (CaptionSkin, "CHECKBOX" when empty); CaptionYOffset moves the area of the controls inside
// down without moving the caption.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/core/state/common_data.h"
#include "vcl/controls/std_ctrls.h"

namespace skin {

class TsGroupBox : public vcl::TGroupBox {
public:
    VCL_CLASS_PUBLISHED(TsGroupBox, vcl::TGroupBox)
    enum TsCaptionLayout : uint8_t { clTopLeft, clTopCenter, clTopRight };

    explicit TsGroupBox(vcl::TComponent* owner);
    ~TsGroupBox() override;

    TsCommonData* SkinData() const { return skinData_.get(); }
    TsCaptionLayout CaptionLayout() const { return captionLayout_; }
    void SetCaptionLayout(TsCaptionLayout layout);
    int CaptionYOffset() const { return captionYOffset_; }
    void SetCaptionYOffset(int offset);
    const std::string& CaptionSkin() const { return captionSkin_; }
    void SetCaptionSkin(const std::string& section);

    // The caption's place on the top edge, for a caption `width` pixels wide (margins in).
    vcl::TRect CaptionRect(int width);
    // The height of the caption band: the letter "W" of the box's font, at least 4, plus 2.
    int CaptionHeight();
    // Rebuilds the cache image.
    void PrepareCache();

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;

protected:
    void AdjustClientRect(vcl::TRect& rect) override;

private:
    void PaintBox(win::HDC dc);
    void AnswerBackground(BackgroundInfo& info);
    bool SkinCommand(vcl::TMessage& m);

    std::unique_ptr<TsCommonData> skinData_;
    TsCaptionLayout captionLayout_ = clTopLeft;
    int captionYOffset_ = 0;
    std::string captionSkin_;
};

}  // namespace skin
