// TsBoundLabel: the caption an edit-like control keeps beside itself.
//
// While Active it owns a TsEditLabel (owned by the edit, on the edit's parent, focusing the
// edit by its mnemonic) and keeps it placed by Layout: left of the edit, centred on its height,
// 4 pixels plus Indent away; or above it, at its left, centre or right, Indent pixels away.
// With MaxWidth the label wraps within that width. The edit passes its messages on
// (FollowEdit), so the label shows, hides, enables and moves with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/controls/skin_types.h"
#include "vcl/graphics/graphics.h"
#include "vcl/system/messages.h"
#include "vcl/system/persistent.h"

namespace vcl {
class TControl;
}

namespace skin {

class TsCommonData;
class TsEditLabel;

enum TsCaptionLayout : uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

class TsBoundLabel : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsBoundLabel, vcl::TPersistent)
    // `owner` is the edit's skin state; its owner control is the edit.
    explicit TsBoundLabel(TsCommonData* owner);
    ~TsBoundLabel() override;

    bool Active() const { return label_ != nullptr; }
    void SetActive(bool on);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The label's font while it exists, else the one it will get.
    vcl::TFont* Font() const;
    void SetFont(const vcl::TFont* font);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    TsCaptionLayout Layout() const { return layout_; }
    void SetLayout(TsCaptionLayout layout);
    // 0: no limit.
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int width);
    bool UseSkinColor() const;
    void SetUseSkinColor(bool on);

    TsEditLabel* Label() const { return label_; }
    vcl::TControl* Edit() const;
    vcl::TPersistent* GetOwner() const override;

    // Places the label beside the edit (when it exists and is visible).
    void AlignLabel();
    // The label's text alignment from Layout.
    void UpdateAlignment();
    // Called by the edit after its own handling of `message`: the label follows its
    // visibility, enabling and place. A disabled edit whose look is blended greys its label.
    void FollowEdit(const vcl::TMessage& message, TsDisabledKind disabledKind);

private:
    friend class TsEditLabel;
    void LabelGone(TsEditLabel* label);

    TsCommonData* owner_;
    TsEditLabel* label_ = nullptr;
    std::string caption_;
    std::unique_ptr<vcl::TFont> font_;
    bool fontSet_ = false;
    int indent_ = 0;
    TsCaptionLayout layout_ = sclLeft;
    int maxWidth_ = 0;
};

}  // namespace skin
