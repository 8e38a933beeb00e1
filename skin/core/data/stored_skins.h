// The skin manager's persistent objects: the internal skins (whole skins kept in the program,
// as a packed blob in "Data" or in the older collection form of sections, images and
// patterns), the animation settings and the lists of foreign control classes to skin.
//
// They hold data only; the loaders read them. Internal skins are filled in code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/core/data/skin_data.h"
#include "skin/core/data/skin_pack.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/system/collection.h"
#include "vcl/system/set.h"

namespace skin {

class TsSkinManager;

// One section of the older collection form, as the section keys of an options text.
class TsSkinGeneral : public vcl::TCollectionItem {
public:
    VCL_CLASS(TsSkinGeneral, vcl::TCollectionItem)
    explicit TsSkinGeneral(vcl::TCollection* c) : vcl::TCollectionItem(c) {}

    std::string SectionName;
    std::string ParentClass;
    TColor Color = 0;
    bool ReservedBoolean = false;
    // Five integers separated by blanks: the font colour, then the left, top, right and
    // bottom contour colours.
    std::string FontColor;
    std::string HotFontColor;
    int32_t Transparency = 0;
    int32_t GlowCount = 0;
    int32_t GlowMargin = 0;
    int32_t GradientPercent = 0;
    std::string GradientData;
    int32_t ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int32_t FadingIterations = 0;
    TColor HotColor = 0;
    int32_t HotTransparency = 0;
    int32_t HotGradientPercent = 0;
    std::string HotGradientData;
    int32_t HotImagePercent = 0;
    std::string Name;
    bool GiveOwnFont = false;
    TColor HotGlowColor = 0;
    TColor GlowColor = 0;
    int32_t HotGlowSize = 0;
    int32_t GlowSize = 0;
};
using TsSkinGenerals = vcl::TOwnedCollection<TsSkinGeneral>;

// One image of the older form: a rectangle of the master bitmap, or with a Name its own
// picture in Image.
class TsSkinImage : public vcl::TCollectionItem {
public:
    VCL_CLASS(TsSkinImage, vcl::TCollectionItem)
    explicit TsSkinImage(vcl::TCollection* c);

    std::string SectionName;
    BitmapPtr Image;
    std::string Name;
    std::string PropertyName;
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    int32_t ImageCount = 0;
    int32_t MaskType = 0;
    int32_t BorderWidth = 0;
    int32_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    int32_t WL = 0, WR = 0, WT = 0, WB = 0;
};
using TsSkinImages = vcl::TOwnedCollection<TsSkinImage>;

// One JPEG pattern of the older form; items of equal Name may share one picture.
class TsSkinPattern : public vcl::TCollectionItem {
public:
    VCL_CLASS(TsSkinPattern, vcl::TCollectionItem)
    explicit TsSkinPattern(vcl::TCollection* c);
    void Assign(const vcl::TPersistent* source) override;

    std::string SectionName;
    JpegPtr Image;
    std::string Name;
    std::string PropertyName;
};
using TsSkinPatterns = vcl::TOwnedCollection<TsSkinPattern>;

class TsStoredSkin : public vcl::TCollectionItem {
public:
    VCL_CLASS(TsStoredSkin, vcl::TCollectionItem)
    explicit TsStoredSkin(vcl::TCollection* c);
    ~TsStoredSkin() override;

    std::string Name;
    TsSkinGenerals GeneralData{this};
    TsSkinImages Images{this};
    TsSkinPatterns Patterns{this};
    BitmapPtr MasterBitmap;
    TColor Shadow1Color = 0;
    int32_t Shadow1Offset = 0;
    int32_t Shadow1Blur = -1;
    int32_t Shadow1Transparency = 0;
    TColor BorderColor = kTransparentKey;
    double Version = 0;
    std::string Author;
    std::string Description;
    // A packed skin, or nothing: then the collections hold the skin.
    MemoryStreamPtr Data;

    // Copy the given collection into the item's own one.
    void SetGeneralData(const TsSkinGenerals* v) { GeneralData.Assign(v); }
    void SetImages(const TsSkinImages* v) { Images.Assign(v); }
    void SetPatterns(const TsSkinPatterns* v) { Patterns.Assign(v); }

    // From another stored skin: "Data", the name, the three collections (their items copy as
    // the class library's items do), the master bitmap and the global values.
    void Assign(const vcl::TPersistent* source) override;
};

class TsStoredSkins : public vcl::TOwnedCollection<TsStoredSkin> {
public:
    VCL_CLASS(TsStoredSkins, vcl::TCollection)
    explicit TsStoredSkins(vcl::TPersistent* manager) : TOwnedCollection(manager) {}

    TsStoredSkin* GetItem(int index) const { return Items(index); }
    // The first item whose Name equals `name` exactly, -1 when none.
    int IndexOf(std::string_view name) const;
    // Internal skins are the program's own; copying them from elsewhere is not done.
    void Assign(const vcl::TPersistent*) override {}
};

// The internal skin named exactly `name`, or null.
const TsStoredSkin* FindStoredSkin(const TsStoredSkins* skins, std::string_view name);

// --- animation settings ---

enum TacAnimType : uint8_t { atFading = 0, atAero = 1 };

class TacFormAnimation : public vcl::TPersistent {
public:
    VCL_CLASS(TacFormAnimation, vcl::TPersistent)
    bool Active = true;
    uint16_t Time = 0;  // milliseconds
    TacAnimType Mode = atAero;
};
class TacFormShow : public TacFormAnimation {
public:
    VCL_CLASS(TacFormShow, TacFormAnimation)
};
class TacFormHide : public TacFormAnimation {
public:
    VCL_CLASS(TacFormHide, TacFormAnimation)
};
class TacDialogShow : public TacFormAnimation {
public:
    VCL_CLASS(TacDialogShow, TacFormAnimation)
};
class TacPageChange : public TacFormAnimation {
public:
    VCL_CLASS(TacPageChange, TacFormAnimation)
};
class TacSkinChanging : public TacFormAnimation {
public:
    VCL_CLASS(TacSkinChanging, TacFormAnimation)
    TacSkinChanging() { Time = 100, Mode = atFading; }
};

enum TacBtnEvent : uint8_t { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TacBtnEvents = vcl::Set<TacBtnEvent>;

class TacBtnEffects : public vcl::TPersistent {
public:
    VCL_CLASS(TacBtnEffects, vcl::TPersistent)
    TacBtnEvents Events{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
    TsSkinManager* Manager = nullptr;
};

class TacAnimEffects : public vcl::TPersistent {
public:
    VCL_CLASS(TacAnimEffects, vcl::TPersistent)
    TacBtnEffects Buttons;
    TacDialogShow DialogShow;
    TacFormShow FormShow;
    TacFormHide FormHide;
    TacFormHide DialogHide;
    TacPageChange PageChange;
    TacSkinChanging SkinChanging;
    TsSkinManager* Manager = nullptr;
};

// --- foreign control classes ---

// Eighteen lists of class names (one per line) of foreign controls that the window adapters
// skin like the named category.
class ThirdPartyList : public vcl::TPersistent {
public:
    VCL_CLASS(ThirdPartyList, vcl::TPersistent)
    static constexpr int kCount = 18;

    // Indexes outside 0 to 17 read and store nothing.
    std::string GetString(int index) const;
    void SetString(int index, const std::string& text);
    // Every empty list, or with `reset` every list, takes its built-in default.
    void ApplyDefaults(bool reset);

    static const char* const kPropertyNames[kCount];  // ThirdEdits ... ThirdSpeedButton
    static const char* const kCategoryNames[kCount];  // "Edit" ... "SpeedButton"
    // "TButton" for the buttons, a single blank (an empty list) for the others.
    static const char* const kDefaultTexts[kCount];

private:
    std::array<std::string, kCount> texts_;
};

}  // namespace skin
