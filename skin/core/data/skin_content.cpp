#include "skin/core/data/skin_content.h"

#include <algorithm>

namespace skin {

namespace {

// Section and property names joined without ambiguity, into a buffer that lookups reuse.
const std::string& Key(std::string_view section, std::string_view prop) {
    thread_local std::string k;
    k.assign(std::to_string(section.size()));
    k += ':';
    k += section;
    k += prop;
    return k;
}

}  // namespace

TsSkinContent::TsSkinContent() = default;

TsSkinContent::~TsSkinContent() {
    ClearPatterns();
    ClearMasks();
}

void TsSkinContent::ClearMasks() {
    while (!Masks.empty())
        Masks.pop_back();
    MasterBitmap.reset();
}

void TsSkinContent::ClearPatterns() {
    while (!Patterns.empty())
        Patterns.pop_back();
}

void TsSkinContent::Reindex() {
    indexedSections_ = indexedMasks_ = indexedPatterns_ = SIZE_MAX;
    EnsureIndexed();
}

void TsSkinContent::EnsureIndexed() const {
    if (indexedSections_ == Sections.size() && indexedMasks_ == Masks.size() &&
        indexedPatterns_ == Patterns.size()) {
        return;
    }
    sectionIndex_.clear();
    maskIndex_.clear();
    textureIndex_.clear();
    patternIndex_.clear();
    // emplace keeps the first of equal names.
    for (size_t i = 0; i < Sections.size(); ++i)
        sectionIndex_.emplace(Sections[i].SectionName, int(i));
    for (size_t i = 0; i < Masks.size(); ++i) {
        const TsMaskData& m = Masks[i];
        maskIndex_.emplace(Key(m.SectionName, m.PropertyName), int(i));
        if (m.ImgType == itisaTexture)
            textureIndex_.emplace(Key(m.SectionName, m.PropertyName), int(i));
    }
    for (size_t i = 0; i < Patterns.size(); ++i)
        patternIndex_.emplace(Key(Patterns[i].SectionName, Patterns[i].PropertyName), int(i));
    indexedSections_ = Sections.size();
    indexedMasks_ = Masks.size();
    indexedPatterns_ = Patterns.size();
}

int TsSkinContent::GetSkinIndex(std::string_view name) const {
    if (Sections.empty()) return -1;
    EnsureIndexed();
    const auto it = sectionIndex_.find(name);
    return it == sectionIndex_.end() ? -1 : it->second;
}

int TsSkinContent::FindInherited(const NameMap& map, int skinIndex, std::string_view section,
                                 std::string_view prop) const {
    for (int depth = 0;; ++depth) {
        if (skinIndex < 0 || section.empty()) return -1;
        const auto it = map.find(Key(section, prop));
        if (it != map.end()) return it->second;
        if (!IsValidSkinIndex(skinIndex) || depth == kMaxParentDepth) return -1;
        const std::string& parent = Sections[size_t(skinIndex)].ParentClass;
        if (parent.empty() || parent == section) return -1;
        skinIndex = GetSkinIndex(parent);
        section = parent;
    }
}

int TsSkinContent::GetMaskIndex(int skinIndex, std::string_view section,
                                std::string_view prop) const {
    EnsureIndexed();
    return FindInherited(maskIndex_, skinIndex, section, prop);
}

int TsSkinContent::GetPatternIndex(int skinIndex, std::string_view section,
                                   std::string_view prop) const {
    if (Patterns.empty()) return -1;
    EnsureIndexed();
    return FindInherited(patternIndex_, skinIndex, section, prop);
}

int TsSkinContent::GetTextureIndex(int skinIndex, std::string_view section,
                                   std::string_view prop) const {
    EnsureIndexed();
    return FindInherited(textureIndex_, skinIndex, section, prop);
}

int TsSkinContent::GetMaskIndexByNames(std::string_view section, std::string_view prop) const {
    if (section.empty()) return -1;
    EnsureIndexed();
    const auto it = maskIndex_.find(Key(section, prop));
    return it == maskIndex_.end() ? -1 : it->second;
}

win::SIZE TsSkinContent::GetMaskStateSize(int i) const {
    if (!IsValidImgIndex(i)) return {};
    const TsMaskData& m = Masks[size_t(i)];
    if (m.Bmp) return {m.Bmp->Width() / 3, m.Bmp->Height() / 2};
    return {SkinFrameWidth(m), SkinFrameHeight(m)};
}

// The width of one state, counting at least one image.
int TsSkinContent::StateWidth(int i) const {
    const TsMaskData& m = Masks[size_t(i)];
    if (m.Bmp) return m.Bmp->Width() / 3;
    const int64_t w = (int64_t(m.R.Right) - m.R.Left) / std::max<int>(m.ImageCount, 1);
    return int(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

int TsSkinContent::MaskWidthLeft(int i) const {
    if (!IsValidImgIndex(i)) return 0;
    const TsMaskData& m = Masks[size_t(i)];
    return m.WL > 0 ? m.WL : m.BorderWidth >= 1 ? m.BorderWidth : StateWidth(i);
}

int TsSkinContent::MaskWidthRight(int i) const {
    if (!IsValidImgIndex(i)) return 0;
    const TsMaskData& m = Masks[size_t(i)];
    return m.WR > 0 ? m.WR : m.BorderWidth >= 1 ? m.BorderWidth : StateWidth(i);
}

int TsSkinContent::MaskWidthTop(int i) const {
    if (!IsValidImgIndex(i)) return 0;
    const TsMaskData& m = Masks[size_t(i)];
    return m.WT > 0 ? m.WT : m.BorderWidth >= 1 ? m.BorderWidth : GetMaskStateSize(i).cy;
}

int TsSkinContent::MaskWidthBottom(int i) const {
    if (!IsValidImgIndex(i)) return 0;
    const TsMaskData& m = Masks[size_t(i)];
    return m.WB > 0 ? m.WB : m.BorderWidth >= 1 ? m.BorderWidth : GetMaskStateSize(i).cy;
}

void TsSkinContent::InitConstIndexes() {
    TConstantSkinData& c = ConstData;
    c = TConstantSkinData{};
    static constexpr std::string_view kGlobal = "GLOBALINFO";
    c.IndexGLOBALINFO = GetSkinIndex(kGlobal);
    if (c.IndexGLOBALINFO >= 0) {
        c.ExBorder = GetMaskIndex(c.IndexGLOBALINFO, kGlobal, "EXBORDER");
        for (int k = 0; k < 9; ++k)
            c.CheckBoxes[k] =
                GetMaskIndex(c.IndexGLOBALINFO, kGlobal, TConstantSkinData::kCheckBoxNames[k]);
    }

    c.ComboButton.Section = GetSkinIndex("COMBOBTN");
    if (c.ComboButton.Section >= 0) {
        c.ComboButton.BordersMask = GetMaskIndexByNames("COMBOBTN", "BORDERSMASK");
        c.ComboButton.Pattern = GetTextureIndex(c.ComboButton.Section, "COMBOBTN", "PATTERN");
        c.ComboButton.HotPattern = GetTextureIndex(c.ComboButton.Section, "COMBOBTN", "HOTPATTERN");
    }
    if (GetSkinIndex("COMBOBOX") >= 0) c.ComboGlyph = GetMaskIndexByNames("COMBOBOX", "GLYPHMASK");

    // A standard section and, when it exists, the masks the painters take from it.
    auto lookUp = [this](TConstantSection& s, const char* name, bool patterns, bool glyph) {
        s.Section = GetSkinIndex(name);
        if (s.Section < 0) return;
        s.BordersMask = GetMaskIndex(s.Section, name, "BORDERSMASK");
        if (patterns) {
            s.Pattern = GetMaskIndex(s.Section, name, "PATTERN");
            s.HotPattern = GetMaskIndex(s.Section, name, "HOTPATTERN");
        }
        if (glyph) s.GlyphMask = GetMaskIndex(s.Section, name, "GLYPHMASK");
    };
    for (int k = 0; k < 4; ++k)
        lookUp(c.Tabs[k], TConstantSkinData::kTabNames[k], false, false);
    for (int k = 0; k < 4; ++k)
        lookUp(c.ScrollButtons[k], TConstantSkinData::kScrollButtonNames[k], true, true);
    for (int k = 0; k < 2; ++k)
        lookUp(c.Sliders[k], TConstantSkinData::kSliderNames[k], true, true);
    for (int k = 0; k < 4; ++k)
        lookUp(c.ScrollBars[k], TConstantSkinData::kScrollBarNames[k], true, false);

    InitSectionBorders();
}

void TsSkinContent::InitSectionBorders() {
    static const char* const kCorners[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT",
                                            "IMGBTMRIGHT"};
    const int global = GetSkinIndex("GLOBALINFO");
    for (size_t i = 0; i < Sections.size(); ++i) {
        if (int(i) == global) continue;
        TsGeneralData& s = Sections[i];
        s.BordersMask = GetMaskIndex(int(i), s.SectionName, "BORDERSMASK");
        for (int k = 0; k < 4; ++k)
            s.CornerMasks[k] = GetMaskIndex(int(i), s.SectionName, kCorners[k]);
    }
}

}  // namespace skin
