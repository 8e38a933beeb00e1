// TsSkinContent: one loaded skin. It holds the global values, the section, mask and pattern
// arrays, the standard indexes and the master bitmap, owns every picture in them, and answers
// the lookups by name that painters make once and then keep the index of.
//
// Rules:
//  1. Names compare exactly (letter case counts); skins write section and image names in upper
//     case. Of equal names the first in array order is found.
//  2. A section inherits the images it lacks from the section named in its PARENTCLASS, and so
//     on up, for at most kMaxParentDepth steps; a chain cut there, or one that names the section
//     itself, reads as missing (-1).
//  3. Getters never change the skin.
//  4. The lookups index the arrays as the loaders leave them; code that renames entries
//     afterwards calls Reindex.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/gdi/win_types.h"
#include "skin/core/data/skin_data.h"

namespace skin {

class TsSkinManager;

// How far PARENTCLASS chains are followed, in the option readers as in the lookups.
inline constexpr int kMaxParentDepth = 16;

class TsSkinContent {
public:
    TsSkinContent();
    ~TsSkinContent();
    TsSkinContent(const TsSkinContent&) = delete;
    TsSkinContent& operator=(const TsSkinContent&) = delete;

    TsSkinManager* Manager = nullptr;  // the manager that owns this skin, once there is one
    TsSkinData SkinData;
    TsGeneralDataArray Sections;
    TsMaskArray Masks;
    TsPatternArray Patterns;
    TConstantSkinData ConstData;
    BitmapPtr MasterBitmap;  // 24-bit; empty when the skin has none

    // Frees the masks from the last to the first and then the master bitmap; the patterns the
    // same way.
    void ClearMasks();
    void ClearPatterns();

    int GetSkinIndex(std::string_view name) const;
    int GetMaskIndex(int skinIndex, std::string_view section, std::string_view prop) const;
    int GetPatternIndex(int skinIndex, std::string_view section, std::string_view prop) const;
    // Masks of ImgType itisaTexture only.
    int GetTextureIndex(int skinIndex, std::string_view section, std::string_view prop) const;
    // Without inheritance.
    int GetMaskIndexByNames(std::string_view section, std::string_view prop) const;
    bool IsValidImgIndex(int i) const { return i >= 0 && size_t(i) < Masks.size(); }
    bool IsValidSkinIndex(int i) const { return i >= 0 && size_t(i) < Sections.size(); }

    // One state image: a third of an own picture's width and half its height, else the frame
    // of the master bitmap's rectangle. 0 x 0 for an invalid index.
    win::SIZE GetMaskStateSize(int i) const;
    // Border widths: the mask's own for that side, else its BorderWidth, else one state's
    // width or height (the width counted with at least one image). 0 for an invalid index.
    int MaskWidthLeft(int i) const;
    int MaskWidthTop(int i) const;
    int MaskWidthRight(int i) const;
    int MaskWidthBottom(int i) const;

    // Looks the standard sections and masks up into ConstData, then InitSectionBorders.
    void InitConstIndexes();
    // BordersMask and CornerMasks of every section but GLOBALINFO.
    void InitSectionBorders();

    void Reindex();

private:
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using NameMap = std::unordered_map<std::string, int, TextHash, std::equal_to<>>;
    void EnsureIndexed() const;
    int FindInherited(const NameMap& map, int skinIndex, std::string_view section,
                      std::string_view prop) const;
    int StateWidth(int i) const;

    mutable NameMap sectionIndex_, maskIndex_, textureIndex_, patternIndex_;
    mutable size_t indexedSections_ = SIZE_MAX, indexedMasks_ = SIZE_MAX,
                   indexedPatterns_ = SIZE_MAX;
};

}  // namespace skin
