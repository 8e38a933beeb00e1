// The skinned labels: graphic text controls on the class library's label.
//
// They own no skin state: with an active skin they take their font colour from it. TsLabel
// follows that colour while UseSkinColor; TsEditLabel is the caption a TsBoundLabel keeps beside
// an edit; TsWebLabel opens its URL when clicked and paints in HoverFont under the mouse;
// TsLabelFX draws its text over a blurred shadow.
//
// The shadow of TsLabelFX: the text is drawn white on black into a bitmap of the text's size,
// offset by Distance; a byte buffer one cell larger on every side is then blurred BlurCount
// times (lit cells set to 255, then each inner cell the mean of its four neighbours, in
// place, row by row); each cell's value is how much of the shadow colour covers what lies
// under the label there. The measured size grows by the blur on both sides, so an auto-sized
// label holds its shadow.
//
// With the default skin manager active: the font colour is that of the section the label's
// parent paints its font with (else the skin's global font colour), never the key colour
// 0xFF00FF; a SkinSection that names a section of the skin is painted behind the text over
// the parent's background; a disabled label writes its text in its font colour mixed 0.4
// with its parent's colour. When the skin goes, a skin-given font colour goes back to
// clWindowText.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/controls/control_frame.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/graphics.h"

namespace skin {

class TsBoundLabel;

class TsCustomLabel : public vcl::TCustomLabel {
public:
    VCL_CLASS_PUBLISHED(TsCustomLabel, vcl::TCustomLabel)
    explicit TsCustomLabel(vcl::TComponent* owner);

    // A section painted behind the text while a skin is active.
    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& section);

    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;

    void Dispatch(vcl::TMessage& message) override;

protected:
    // The font to paint with, its colour taken from the active skin first.
    virtual vcl::TFont* UpdateFontColor();
    void Paint() override;
    void DoDrawText(vcl::TRect& rect, uint32_t flags) override;
    // Whether the skin gives this label its font colour.
    virtual bool TakesSkinColor() const;
    // The label's text as drawn (a blank added to an empty text or a lone "&" when measuring)
    // and the flags for its prefix.
    std::string DrawnText(uint32_t& flags) const;

private:
    std::string skinSection_;
};

class TsLabel : public TsCustomLabel {
public:
    VCL_CLASS_PUBLISHED(TsLabel, TsCustomLabel)
    explicit TsLabel(vcl::TComponent* owner) : TsCustomLabel(owner) {}

    // The font colour follows the skin's.
    bool UseSkinColor() const { return useSkinColor_; }
    void SetUseSkinColor(bool on) { useSkinColor_ = on; }

protected:
    bool TakesSkinColor() const override;

private:
    bool useSkinColor_ = true;
};

// The label of a TsBoundLabel, owned by the edit it names.
class TsEditLabel : public TsLabel {
public:
    VCL_CLASS(TsEditLabel, TsLabel)
    TsEditLabel(vcl::TComponent* owner, TsBoundLabel* boundLabel);
    ~TsEditLabel() override;

    TsBoundLabel* BoundLabel() const { return boundLabel_; }
    // Sized to its text at last, the label is placed beside its edit again.
    void Loaded() override;

private:
    friend class TsBoundLabel;
    TsBoundLabel* boundLabel_;
};

// The show command handed to the program that opens the address (soHide .. soDefault).
enum TsWindowShowMode : uint8_t {
    soHide,
    soNormal,
    soShowMinimized,
    soShowMaximized,
    soShowNoActivate,
    soShow,
    soMinimize,
    soShowMinNoActive,
    soShowNA,
    soRestore,
    soDefault
};

class TsWebLabel : public TsLabel {
public:
    VCL_CLASS_PUBLISHED(TsWebLabel, TsLabel)
    explicit TsWebLabel(vcl::TComponent* owner);
    ~TsWebLabel() override;

    // The font outside the mouse (written to Font as well).
    vcl::TFont* NormalFont() const { return normalFont_.get(); }
    void SetFont(const vcl::TFont* font);
    vcl::TFont* HoverFont() const { return hoverFont_.get(); }
    void SetHoverFont(const vcl::TFont* font);
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& url) { url_ = url; }
    TsWindowShowMode ShowMode() const { return showMode_; }
    void SetShowMode(TsWindowShowMode mode) { showMode_ = mode; }
    // The mouse is over the label.
    bool MouseOver() const { return mouseOver_; }

    void Loaded() override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    vcl::TFont* UpdateFontColor() override;
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    void MouseChanged(bool over);

    std::unique_ptr<vcl::TFont> normalFont_;
    std::unique_ptr<vcl::TFont> hoverFont_;
    std::unique_ptr<vcl::TFont> paintFont_;  // one of the two in the skin's link colour
    std::string url_;
    TsWindowShowMode showMode_ = soDefault;
    bool mouseOver_ = false;
};

class TsLabelFX;

enum TsShadowMode : uint8_t { smNone, smCustom, smSkin1 };

// The shadow of a TsLabelFX; a change repaints the label with a new shadow.
class TsShadow : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsShadow, vcl::TPersistent)
    explicit TsShadow(TsLabelFX* owner) : owner_(owner) {}

    TsShadowMode Mode() const { return mode_; }
    void SetMode(TsShadowMode mode);
    vcl::TColor Color() const { return color_; }
    void SetColor(vcl::TColor color);
    int BlurCount() const { return blurCount_; }
    void SetBlurCount(int count);
    int Distance() const { return distance_; }
    void SetDistance(int distance);

    vcl::TPersistent* GetOwner() const override;

private:
    void Changed();

    TsLabelFX* owner_;
    TsShadowMode mode_ = smSkin1;
    vcl::TColor color_ = vcl::clBlack;
    int blurCount_ = 4;
    int distance_ = 1;
};

enum TsKindType : uint8_t { ktStandard, ktCustom, ktSkin };

// Where the text colour of a TsLabelFX comes from.
class TsKind : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsKind, vcl::TPersistent)
    explicit TsKind(TsLabelFX* owner) : owner_(owner) {}

    TsKindType KindType() const { return kindType_; }
    void SetKindType(TsKindType type);
    vcl::TColor Color() const { return color_; }
    void SetColor(vcl::TColor color);

    vcl::TPersistent* GetOwner() const override;

private:
    TsLabelFX* owner_;
    TsKindType kindType_ = ktSkin;
    vcl::TColor color_ = vcl::clWhite;
};

class TsLabelFX : public TsCustomLabel {
public:
    VCL_CLASS_PUBLISHED(TsLabelFX, TsCustomLabel)
    explicit TsLabelFX(vcl::TComponent* owner);
    ~TsLabelFX() override;

    TsShadow* Shadow() const { return shadow_.get(); }
    TsKind* Kind() const { return kind_.get(); }

protected:
    void DoDrawText(vcl::TRect& rect, uint32_t flags) override;

private:
    friend class TsShadow;
    friend class TsKind;
    void ShadowChanged();
    void BuildShadow(const std::string& text, const vcl::TRect& rect, uint32_t flags, int blur,
                     int distance);

    std::unique_ptr<TsShadow> shadow_;
    std::unique_ptr<TsKind> kind_;
    std::vector<uint8_t> blur_;  // the blurred cover, (width + 2) x (height + 2) cells
    int blurWidth_ = 0, blurHeight_ = 0;
    int marginLeading_ = 0, marginTrailing_ = 0;
    LookKey shadowKey_;  // what the cover in blur_ was built from
};

}  // namespace skin
