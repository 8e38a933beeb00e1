#include "skin/core/data/skin_options.h"

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "skin/core/data/constants.h"
#include "skin/core/data/hue_shift.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/pixels/text_utils.h"
#include "vcl/system/sysutils.h"

namespace skin {

namespace {

constexpr std::string_view kGlobal = "GLOBALINFO";

bool IsTrue(std::string_view value) {
    return vcl::UpperCase(value) == kTrueName;
}

// The global values a skin gets when its GLOBALINFO says nothing.
void SetGlobalDefaults(TsSkinData& d) {
    TsSkinData fresh;
    fresh.SkinPath = d.SkinPath;
    fresh.Active = d.Active;
    fresh.BorderWidth = 4;
    fresh.TitleHeight = 30;
    fresh.MaxHeight = 30;
    fresh.FormOffset = 8;
    fresh.Shadow1Blur = -1;
    d = fresh;
}

int16_t ReadStrict(const vcl::TMemIniFile& ini, const char* key, const char* def) {
    return int16_t(AtPlace(OptionsPlace(std::string(kGlobal), key),
                           [&] { return vcl::StrToInt(ini.ReadString(kGlobal, key, def)); }));
}

void ReadGlobalInfo(const vcl::TMemIniFile& ini, TsSkinData& d) {
    SetGlobalDefaults(d);
    auto integer = [&](const char* key, int32_t def) {
        return int16_t(ini.ReadInteger(kGlobal, key, def));
    };
    vcl::TFormatSettings point = vcl::FormatSettings;
    point.DecimalSeparator = '.';
    if (!vcl::TryStrToFloat(ini.ReadString(kGlobal, "VERSION", ""), d.Version, point))
        d.Version = 0;
    d.Author = ini.ReadString(kGlobal, "AUTHOR", "");
    d.Description = ini.ReadString(kGlobal, "DESCRIPTION", "");
    d.BorderWidth = integer("BORDERWIDTH", 4);
    d.TitleHeight = integer("TITLEHEIGHT", 30);
    d.MaxHeight = integer("MAXHEIGHT", 0);
    if (d.MaxHeight == 0) d.MaxHeight = d.TitleHeight;
    d.FormOffset = integer("FORMOFFSET", 8);
    d.CenterOffset = integer("CENTEROFFSET", 0);
    d.BorderMode = integer("BORDERMODE", 0);
    d.Shadow1Color = TColor(ini.ReadInteger(kGlobal, "SHADOW1COLOR", 0));
    d.Shadow1Offset = ReadStrict(ini, "SHADOW1OFFSET", "0");
    d.Shadow1Blur = ReadStrict(ini, "SHADOW1BLUR", "-1");
    d.Shadow1Transparency = ReadStrict(ini, "SHADOW1TRANSPARENCY", "0");
    d.BISpace = integer("BISPACE", 0);
    d.BIVAlign = integer("BIVALIGN", 0);
    d.BIRight = integer("BIRIGHT", 0);
    d.BILeft = integer("BILEFT", 0);
    d.BITop = integer("BITOP", 0);
    d.BorderColor = TColor(ini.ReadInteger(kGlobal, "BORDERCOLOR", 0));
    d.BIKeepHue = integer("BIKEEPHUE", 0);
    d.BICloseGlow = ReadStrict(ini, "BICONCLOSEGLOW", "0");
    d.BICloseGlowMargin = ReadStrict(ini, "BICONCLOSEGLOWMARGIN", "0");
    d.BIMaxGlow = ReadStrict(ini, "BICONMAXGLOW", "0");
    d.BIMaxGlowMargin = ReadStrict(ini, "BICONMAXGLOWMARGIN", "0");
    d.BIMinGlow = ReadStrict(ini, "BICONMINGLOW", "0");
    d.BIMinGlowMargin = ReadStrict(ini, "BICONMINGLOWMARGIN", "0");
}

void ParseGradient(const std::string& text, TsGradArray& stops, const std::string& place) {
    AtPlace(place, [&] { ParseGradientStops(text, stops); });
}

// The gradient texts of a section record; a single blank means no gradient.
void ParseGradients(TsGeneralData& s, const std::string& placePrefix) {
    if (s.GradientData != " ")
        ParseGradient(s.GradientData, s.GradientArray, placePrefix + "GRADIENTDATA");
    if (s.HotGradientData != " ")
        ParseGradient(s.HotGradientData, s.HotGradientArray, placePrefix + "HOTGRADIENTDATA");
}

// Follows PARENTCLASS from section `s` for at most kMaxParentDepth steps: `value(s)` until it is
// not `missing`; `parent(s)` steps `s` up and is false at the end of the chain.
template <typename S, typename T, typename Value, typename Parent>
T Inherited(S s, const T& missing, Value value, Parent parent) {
    for (int depth = 0;; ++depth) {
        T v = value(s);
        if (v != missing || depth == kMaxParentDepth || !parent(s)) return v;
    }
}

// The next section of a chain in the INI text itself: none for an absent, "?" or own name.
bool IniParent(const vcl::TMemIniFile& ini, std::string& section) {
    std::string parent = ini.ReadString(section, "PARENTCLASS", "?");
    if (parent.empty() || parent == "?" || vcl::AnsiSameText(parent, section)) return false;
    section = std::move(parent);
    return true;
}

// The sections of an options text read once, each with its lines and the place of its parent,
// so that the forty keys of every section and their inheritance are read without searching the
// text again.
class OptionsTable {
public:
    explicit OptionsTable(const vcl::TMemIniFile& ini) {
        vcl::TStringList names, lines;
        ini.ReadSections(&names);
        sections_.resize(size_t(names.Count()));
        std::unordered_map<std::string, int> byName;
        for (int s = 0; s < names.Count(); ++s) {
            Section& sec = sections_[size_t(s)];
            sec.name = names.Get(s);
            byName.emplace(vcl::AnsiUpperCase(sec.name), s);
            ini.ReadSectionValues(sec.name, &lines);
            for (int i = 0; i < lines.Count(); ++i)
                sec.lines.emplace_back(vcl::AnsiUpperCase(lines.Names(i)), lines.ValueFromIndex(i));
        }
        for (int s = 0; s < int(sections_.size()); ++s) {
            Section& sec = sections_[size_t(s)];
            const std::string* p = Value(s, "PARENTCLASS");
            sec.parentClass = p ? *p : "";
            if (sec.parentClass.empty() || sec.parentClass == "?") continue;
            const auto it = byName.find(vcl::AnsiUpperCase(sec.parentClass));
            sec.parent = it == byName.end() || it->second == s ? -1 : it->second;
        }
    }
    int Count() const { return int(sections_.size()); }
    const std::string& Name(int s) const { return sections_[size_t(s)].name; }
    const std::string& ParentClass(int s) const { return sections_[size_t(s)].parentClass; }
    // The first value of `key` (upper case) in section `s`, or null.
    const std::string* Value(int s, std::string_view key) const {
        for (const auto& [name, value] : sections_[size_t(s)].lines) {
            if (name == key) return &value;
        }
        return nullptr;
    }
    bool Parent(int& s) const {
        s = sections_[size_t(s)].parent;
        return s >= 0;
    }

private:
    struct Section {
        std::string name, parentClass;
        std::vector<std::pair<std::string, std::string>> lines;  // upper-cased key, value
        int parent = -1;
    };
    std::vector<Section> sections_;
};

TsGeneralData ReadSection(const OptionsTable& table, int index) {
    TsGeneralData s;
    s.SectionName = table.Name(index);
    s.ParentClass = table.ParentClass(index);
    auto parent = [&](int& k) { return table.Parent(k); };
    auto i = [&](const char* key, int32_t def) {
        const int32_t v = Inherited(
            index, -1,
            [&](int k) {
                const std::string* v = table.Value(k, key);
                return v ? IniIntegerOf(*v, -1) : -1;
            },
            parent);
        return v == -1 ? def : v;
    };
    auto c = [&](const char* key, int32_t def) { return TColor(i(key, def)); };
    auto t = [&](const char* key, const char* def) {
        const std::string* none = nullptr;
        const std::string* v = Inherited(
            index, none,
            [&](int k) {
                const std::string* v = table.Value(k, key);
                return v && *v == "?" ? none : v;
            },
            parent);
        return v ? *v : std::string(def);
    };
    s.Color = ControlColorToRGB(c("COLOR", 0xFFFFFF));
    s.ReservedBoolean = IsTrue(t("RESERVEDBOOLEAN", "FALSE"));
    s.GiveOwnFont = IsTrue(t("GIVEOWNFONT", "FALSE"));
    s.GlowCount = i("GLOW", 0);
    s.GlowMargin = i("GLOWMARGIN", 0);
    s.FontColor = c("FONTCOLOR", 0);
    s.TCLeft = c("TCLEFT", -1);
    s.TCTop = c("TCTOP", -1);
    s.TCRight = c("TCRIGHT", -1);
    s.TCBottom = c("TCBOTTOM", -1);
    s.HotFontColor = c("HOTFONTCOLOR", 0);
    s.HotTCLeft = c("HOTTCLEFT", -1);
    s.HotTCTop = c("HOTTCTOP", -1);
    s.HotTCRight = c("HOTTCRIGHT", -1);
    s.HotTCBottom = c("HOTTCBOTTOM", -1);
    s.Transparency = i("TRANSPARENCY", 0);
    s.GradientPercent = i("GRADIENTPERCENT", 0);
    s.ImagePercent = i("IMAGEPERCENT", 0);
    s.GradientData = t("GRADIENTDATA", " ");
    s.ShowFocus = IsTrue(t("SHOWFOCUS", "FALSE"));
    s.FadingEnabled = IsTrue(t("FADINGENABLED", "FALSE"));
    s.FadingIterations = i("FADINGITERATIONS", 5);
    s.HotColor = c("HOTCOLOR", 0xFFFFFF);
    s.HotTransparency = i("HOTTRANSPARENCY", 0);
    s.HotGradientPercent = i("HOTGRADIENTPERCENT", 0);
    s.HotGradientData = t("HOTGRADIENTDATA", "");
    s.HotImagePercent = i("HOTIMAGEPERCENT", 0);
    s.HotGlowColor = ControlColorToRGB(c("HGCOL", 0xFFFFFF));
    s.HotGlowSize = uint8_t(i("HGSIZE", 0));
    s.GlowColor = ControlColorToRGB(c("GCOL", 0xFFFFFF));
    s.GlowSize = uint8_t(i("GSIZE", 0));
    ParseGradients(s, OptionsPlace(s.SectionName, ""));
    return s;
}

// A font text of the collection form: the font colour and the four contour colours.
void ReadFontText(const std::string& text, TColor& font, TColor* contours[4],
                  const std::string& place) {
    static const TCharSet kBlank(" ");
    font = 0;
    for (int k = 0; k < 4; ++k)
        *contours[k] = TColor(-1);
    if (WordCount(text, kBlank) != 5) return;
    AtPlace(place, [&] {
        font = TColor(vcl::StrToInt(ExtractWord(1, text, kBlank)));
        for (int k = 0; k < 4; ++k)
            *contours[k] = TColor(vcl::StrToInt(ExtractWord(k + 2, text, kBlank)));
    });
}

void ReadCollections(TsSkinContent& skin, const TsStoredSkin& item, const SkinSource& source) {
    TsSkinData& d = skin.SkinData;
    SetGlobalDefaults(d);
    d.Version = item.Version;
    d.Author = item.Author;
    d.Description = item.Description;
    d.Shadow1Color = item.Shadow1Color;
    d.Shadow1Offset = int16_t(item.Shadow1Offset);
    d.Shadow1Blur = int16_t(item.Shadow1Blur);
    d.Shadow1Transparency = int16_t(item.Shadow1Transparency);
    d.BorderColor = item.BorderColor;
    ShowSkinVersionMessages(d, source);

    skin.Sections.clear();
    for (int k = 0; k < item.GeneralData.Count(); ++k) {
        const TsSkinGeneral& g = *item.GeneralData.Items(k);
        TsGeneralData s;
        s.SectionName = g.SectionName;
        s.ParentClass = g.ParentClass;
        s.Color = g.Color;
        s.ReservedBoolean = g.ReservedBoolean;
        s.GiveOwnFont = g.GiveOwnFont;
        s.GlowCount = g.GlowCount;
        s.GlowMargin = g.GlowMargin;
        s.Transparency = g.Transparency;
        s.GradientPercent = g.GradientPercent;
        s.ImagePercent = g.ImagePercent;
        s.GradientData = g.GradientData;
        s.ShowFocus = g.ShowFocus;
        s.FadingEnabled = g.FadingEnabled;
        s.FadingIterations = g.FadingIterations;
        s.HotColor = g.HotColor;
        s.HotTransparency = g.HotTransparency;
        s.HotGradientPercent = g.HotGradientPercent;
        s.HotGradientData = g.HotGradientData;
        s.HotImagePercent = g.HotImagePercent;
        s.HotGlowColor = g.HotGlowColor;
        s.HotGlowSize = uint8_t(g.HotGlowSize);
        s.GlowColor = g.GlowColor;
        s.GlowSize = uint8_t(g.GlowSize);
        const std::string place = source.SkinName + " [" + g.SectionName + "] ";
        TColor* contours[4] = {&s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom};
        ReadFontText(g.FontColor, s.FontColor, contours, place + "FontColor");
        TColor* hotContours[4] = {&s.HotTCLeft, &s.HotTCTop, &s.HotTCRight, &s.HotTCBottom};
        ReadFontText(g.HotFontColor, s.HotFontColor, hotContours, place + "HotFontColor");
        ParseGradient(s.GradientData, s.GradientArray, place + "GradientData");
        ParseGradient(s.HotGradientData, s.HotGradientArray, place + "HotGradientData");
        skin.Sections.push_back(std::move(s));
    }
}

// Common sections the skin lacks, each key taken from the common text, else from the skin
// section its PARENTCLASS names (a record already whole), else the default.
void MergeCommonSections(TsSkinContent& skin, const vcl::TStrings& lines) {
    if (lines.Count() == 0) return;
    const IniSections common = ParseIniStrings(lines);
    for (const IniSection& cs : common) {
        if (skin.GetSkinIndex(cs.Name) >= 0) continue;
        TsGeneralData s;
        s.SectionName = cs.Name;
        s.ParentClass = vcl::AnsiUpperCase(ReadIniString(common, cs.Name, "PARENTCLASS", "-1"));
        std::optional<TsGeneralData> parent;
        for (const TsGeneralData& g : skin.Sections) {
            if (vcl::AnsiUpperCase(g.SectionName) == s.ParentClass) {
                parent = g;
                break;
            }
        }
        auto integer = [&](const char* key, int32_t TsGeneralData::*field, int32_t def) {
            const int32_t v = ReadIniInteger(common, cs.Name, key, -1);
            s.*field = v != -1 ? v : parent ? (*parent).*field : def;
        };
        auto colour = [&](const char* key, TColor TsGeneralData::*field, TColor def) {
            const int32_t v = ReadIniInteger(common, cs.Name, key, -1);
            s.*field = v != -1 ? TColor(v) : parent ? (*parent).*field : def;
        };
        // Glow colours are painted as they are, so a system colour is resolved when read.
        auto rgbColour = [&](const char* key, TColor TsGeneralData::*field) {
            const int32_t v = ReadIniInteger(common, cs.Name, key, -1);
            s.*field = v != -1 ? ControlColorToRGB(TColor(v))
                       : parent ? (*parent).*field
                                : ControlColorToRGB(0xFFFFFF);
        };
        auto byte = [&](const char* key, uint8_t TsGeneralData::*field) {
            const int32_t v = ReadIniInteger(common, cs.Name, key, -1);
            s.*field = v != -1 ? uint8_t(v) : parent ? (*parent).*field : 0;
        };
        auto text = [&](const char* key, std::string TsGeneralData::*field, const char* def) {
            const std::string v = ReadIniString(common, cs.Name, key, "?");
            s.*field = v != "?" ? v : parent ? (*parent).*field : def;
        };
        auto truth = [&](const char* key, bool TsGeneralData::*field) {
            const std::string v = ReadIniString(common, cs.Name, key, "?");
            s.*field = v != "?" ? IsTrue(v) : parent ? (*parent).*field : false;
        };
        const int32_t color = ReadIniInteger(common, cs.Name, "COLOR", -1);
        s.Color = color != -1 ? ControlColorToRGB(TColor(color))
                  : parent    ? parent->Color
                              : ControlColorToRGB(0xFFFFFF);
        truth("RESERVEDBOOLEAN", &TsGeneralData::ReservedBoolean);
        truth("GIVEOWNFONT", &TsGeneralData::GiveOwnFont);
        s.GlowCount = ReadIniInteger(common, cs.Name, "GLOW", 0);
        s.GlowMargin = ReadIniInteger(common, cs.Name, "GLOWMARGIN", 0);
        colour("FONTCOLOR", &TsGeneralData::FontColor, 0);
        colour("TCLEFT", &TsGeneralData::TCLeft, TColor(-1));
        colour("TCTOP", &TsGeneralData::TCTop, TColor(-1));
        colour("TCRIGHT", &TsGeneralData::TCRight, TColor(-1));
        colour("TCBOTTOM", &TsGeneralData::TCBottom, TColor(-1));
        colour("HOTFONTCOLOR", &TsGeneralData::HotFontColor, 0);
        colour("HOTTCLEFT", &TsGeneralData::HotTCLeft, TColor(-1));
        colour("HOTTCTOP", &TsGeneralData::HotTCTop, TColor(-1));
        colour("HOTTCRIGHT", &TsGeneralData::HotTCRight, TColor(-1));
        colour("HOTTCBOTTOM", &TsGeneralData::HotTCBottom, TColor(-1));
        integer("TRANSPARENCY", &TsGeneralData::Transparency, 0);
        integer("GRADIENTPERCENT", &TsGeneralData::GradientPercent, 0);
        integer("IMAGEPERCENT", &TsGeneralData::ImagePercent, 0);
        text("GRADIENTDATA", &TsGeneralData::GradientData, " ");
        truth("SHOWFOCUS", &TsGeneralData::ShowFocus);
        truth("FADINGENABLED", &TsGeneralData::FadingEnabled);
        integer("FADINGITERATIONS", &TsGeneralData::FadingIterations, 5);
        colour("HOTCOLOR", &TsGeneralData::HotColor, 0xFFFFFF);
        integer("HOTTRANSPARENCY", &TsGeneralData::HotTransparency, 0);
        integer("HOTGRADIENTPERCENT", &TsGeneralData::HotGradientPercent, 0);
        text("HOTGRADIENTDATA", &TsGeneralData::HotGradientData, "");
        integer("HOTIMAGEPERCENT", &TsGeneralData::HotImagePercent, 0);
        rgbColour("HGCOL", &TsGeneralData::HotGlowColor);
        byte("HGSIZE", &TsGeneralData::HotGlowSize);
        rgbColour("GCOL", &TsGeneralData::GlowColor);
        byte("GSIZE", &TsGeneralData::GlowSize);
        // The parent's arrays come with its texts; they are parsed again with the section's.
        s.GradientArray.clear();
        s.HotGradientArray.clear();
        ParseGradients(s, "CommonSections [" + cs.Name + "] ");
        skin.Sections.push_back(std::move(s));
    }
}

}  // namespace

std::string ReadSectionKeyInherited(const vcl::TMemIniFile& ini, const std::string& section,
                                    std::string_view key, const std::string& def) {
    const std::string v = Inherited(
        section, std::string("?"), [&](const std::string& s) { return ini.ReadString(s, key, "?"); },
        [&](std::string& s) { return IniParent(ini, s); });
    return v == "?" ? def : v;
}

int32_t ReadSectionIntInherited(const vcl::TMemIniFile& ini, const std::string& section,
                                std::string_view key, int32_t def) {
    const int32_t v = Inherited(
        section, -1, [&](const std::string& s) { return ini.ReadInteger(s, key, -1); },
        [&](std::string& s) { return IniParent(ini, s); });
    return v == -1 ? def : v;
}

void ShowSkinVersionMessages(const TsSkinData& data, const SkinSource& source) {
    if (data.Version > MAX_SKIN_VERSION && source.ShowMessage) {
        source.ShowMessage(
            "This version of the skin have not complete support by used Quillor package "
            "release.\r\nComponents must be updated up to latest version for using this skin.");
    }
}

void ReadSkinKeys(TsSkinContent& skin, const SkinSource& source) {
    if (const vcl::TMemIniFile* ini = source.Options) {
        ReadGlobalInfo(*ini, skin.SkinData);
        ShowSkinVersionMessages(skin.SkinData, source);
        const OptionsTable table(*ini);
        skin.Sections.clear();
        skin.Sections.reserve(size_t(table.Count()));
        for (int k = 0; k < table.Count(); ++k)
            skin.Sections.push_back(ReadSection(table, k));
    } else if (const TsStoredSkin* item = FindStoredSkin(source.InternalSkins, source.SkinName)) {
        ReadCollections(skin, *item, source);
    } else {
        return;
    }
    if (source.CommonSections) MergeCommonSections(skin, *source.CommonSections);
    skin.InitSectionBorders();
    ShiftSkinHue(skin, source.HueOffset);
    ShiftSkinSaturation(skin, source.Saturation);
}

}  // namespace skin
