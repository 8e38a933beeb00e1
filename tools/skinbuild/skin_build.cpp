#include "tools/skinbuild/skin_build.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/os/files.h"
#include "skin/core/data/skin_pack.h"
#include "skin/core/data/skin_reader.h"
#include "skin/core/pixels/bitmaps.h"
#include "vcl/system/ini_files.h"
#include "vcl/system/sysutils.h"

namespace skinbuild {

namespace {

std::string Le32(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string Deflate(const std::string& data) {
    uLongf n = compressBound(uLong(data.size()));
    std::string z(n, '\0');
    if (compress2(reinterpret_cast<Bytef*>(z.data()), &n,
                  reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("skinbuild: zlib failed");
    }
    z.resize(n);
    return z;
}

std::string ReadAll(const std::string& path) {
    auto data = os::ReadWholeFile(path);
    if (!data) throw std::runtime_error("skinbuild: cannot read " + path);
    return *data;
}

bool IsNoColour(skin::TColor c) {
    return c == skin::TColor(-1) || c == skin::kTransparentKey || (c >> 24) != 0;
}

double Channel(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(skin::TColor c) {
    return 0.2126 * Channel(skin::RedOf(c)) + 0.7152 * Channel(skin::GreenOf(c)) +
           0.0722 * Channel(skin::BlueOf(c));
}

const char* const kSections[] = {
    "GLOBALINFO",
    "FORM",
    "FORMTITLE",
    "DIALOG",
    "CAPTION",
    "MAINMENU",
    "MENUITEM",
    "MENULINE",
    "ICOLINE",
    "HINT",
    "BUTTON",
    "SPEEDBUTTON",
    "SPEEDBUTTON_SMALL",
    "TOOLBUTTON",
    "UPDOWNBTN",
    "COLHEADER",
    "EDIT",
    "COMBOBOX",
    "COMBOBTN",
    "CHECKBOX",
    "RADIOBUTTON",
    "PANEL",
    "PANEL_LOW",
    "GROUPBOX",
    "BAR",
    "BARTITLE",
    "TOOLBAR",
    "DRAGBAR",
    "SPLITTER",
    "STATUSBAR",
    "DIVIDER",
    "GAUGE",
    "PROGRESSH",
    "PROGRESSV",
    "TRACKBAR",
    "PAGECONTROL",
    "TABSHEET",
    "TABTOP",
    "TABBOTTOM",
    "TABLEFT",
    "TABRIGHT",
    "SCROLLBTNTOP",
    "SCROLLBTNBOTTOM",
    "SCROLLBTNLEFT",
    "SCROLLBTNRIGHT",
    "SCROLLSLIDERH",
    "SCROLLSLIDERV",
    "SCROLLBAR1H",
    "SCROLLBAR1V",
    "SCROLLBAR2H",
    "SCROLLBAR2V",
};

// Section and image pairs that must resolve (with PARENTCLASS).
const std::pair<const char*, const char*> kImages[] = {
    {"GLOBALINFO", "BOXCHECKED"},     {"GLOBALINFO", "BOXUNCHECKED"},
    {"GLOBALINFO", "BOXGRAYED"},      {"GLOBALINFO", "RADIOCHECKED"},
    {"GLOBALINFO", "RADIOUNCHECKED"}, {"GLOBALINFO", "RADIOGRAYED"},
    {"GLOBALINFO", "SMALLCHECKED"},   {"GLOBALINFO", "SMALLUNCHECKED"},
    {"GLOBALINFO", "SMALLGRAYED"},    {"GLOBALINFO", "CHECK"},
    {"GLOBALINFO", "GRIPIMAGE"},      {"GLOBALINFO", "BICONCLOSE"},
    {"GLOBALINFO", "BICLOSEALONE"},   {"GLOBALINFO", "BICONMAX"},
    {"GLOBALINFO", "BICONMIN"},       {"GLOBALINFO", "BICONNORM"},
    {"GLOBALINFO", "BICONHELP"},      {"GLOBALINFO", "SICONCLOSE"},
    {"GLOBALINFO", "SICONMAX"},       {"GLOBALINFO", "SICONMIN"},
    {"GLOBALINFO", "SICONNORM"},      {"GLOBALINFO", "SICONHELP"},
    {"GLOBALINFO", "TITLEBUTTON"},    {"GLOBALINFO", "BICONCLOSEGLOW0"},
    {"GLOBALINFO", "BICONMAXGLOW0"},  {"GLOBALINFO", "BICONMINGLOW0"},
    {"BUTTON", "BORDERSMASK"},        {"BUTTON", "GLOW0"},
    {"EDIT", "BORDERSMASK"},          {"COMBOBOX", "GLYPHMASK"},
    {"COMBOBTN", "BORDERSMASK"},      {"COMBOBTN", "PATTERN"},
    {"COMBOBTN", "HOTPATTERN"},
};
const char* const kScrollPieces[] = {"SCROLLBTNTOP",   "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                     "SCROLLBTNRIGHT", "SCROLLSLIDERH",   "SCROLLSLIDERV"};
const char* const kScrollBars[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};

bool Resolves(const skin::TsSkinContent& s, const std::string& section, const std::string& prop) {
    const int i = s.GetSkinIndex(section);
    return s.GetMaskIndex(i, section, prop) >= 0 || s.GetTextureIndex(i, section, prop) >= 0 ||
           s.GetPatternIndex(i, section, prop) >= 0;
}

// The darkest pixel of the state a frame shows first (the hot one when the normal state is not
// drawn), holes left out; the key colour when it has none.
skin::TColor DarkestFramePixel(const skin::TsSkinContent& s, const skin::TsMaskData& m) {
    vcl::TBitmap* bmp = m.Bmp ? m.Bmp.get() : s.MasterBitmap.get();
    const skin::PixelView v = skin::ViewOf(bmp);
    const int w = skin::SkinFrameWidth(m), h = skin::SkinFrameHeight(m);
    const int state = (m.StretchMode & skin::smNoNormalState) ? 1 : 0;
    const int x0 = (m.Bmp ? 0 : m.R.Left) + state * w, y0 = m.Bmp ? 0 : m.R.Top;
    skin::TColor darkest = skin::kTransparentKey;
    double low = 2;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            if (!v.Contains(x, y)) continue;
            const uint8_t* p = v.At(x, y);
            const skin::TColor c = skin::RGB(p[2], p[1], p[0]);
            if (c == skin::kTransparentKey) continue;
            if (Luminance(c) < low) low = Luminance(c), darkest = c;
        }
    }
    return darkest;
}

std::string Hex6(skin::TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", unsigned(c));
    return buf;
}

}  // namespace

std::vector<SkinFile> ReadSkinFolder(const std::string& folder) {
    std::vector<SkinFile> files;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    const auto options = std::find(names.begin(), names.end(), "Options.dat");
    if (options == names.end()) throw std::runtime_error("skinbuild: no Options.dat in " + folder);
    names.erase(options);
    files.emplace_back("Options.dat", ReadAll(folder + "/Options.dat"));
    for (const std::string& n : names)
        files.emplace_back(n, ReadAll(folder + "/" + n));
    return files;
}

std::string PackSkin(const std::vector<SkinFile>& files) {
    std::string blob = "ASzf" + Le32(uint32_t(files.size()));
    for (const auto& [name, data] : files) {
        blob += Le32(uint32_t(name.size())) + name + Le32(uint32_t(data.size())) + Deflate(data);
    }
    return blob;
}

void LoadPackedSkin(const std::string& blob, skin::TsSkinContent& skin) {
    vcl::TStringStream stream(blob);
    auto convertor = std::make_unique<skin::TacSkinConvertor>();
    convertor->LendPackedData(&stream);
    skin::ExtractPackedSkin(convertor);
    vcl::TMemIniFile ini;
    skin::ReadPackedOptions(*convertor, ini);
    skin::SkinSource source;
    source.Options = &ini;
    source.Convertor = convertor.get();
    skin::ReadSkinContent(skin, source);
}

double ContrastRatio(skin::TColor a, skin::TColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<std::string> CheckSkin(const skin::TsSkinContent& s) {
    std::vector<std::string> faults;
    for (const char* name : kSections) {
        if (s.GetSkinIndex(name) < 0) faults.push_back(std::string("section ") + name + " missing");
    }
    auto need = [&](const std::string& section, const std::string& prop) {
        if (!Resolves(s, section, prop))
            faults.push_back(section + " " + prop + " does not resolve");
    };
    for (const auto& [section, prop] : kImages)
        need(section, prop);
    for (const char* scroll : kScrollPieces) {
        for (const char* prop : {"BORDERSMASK", "PATTERN", "HOTPATTERN", "GLYPHMASK"})
            need(scroll, prop);
    }
    for (const char* bar : kScrollBars) {
        for (const char* prop : {"BORDERSMASK", "PATTERN", "HOTPATTERN"})
            need(bar, prop);
    }

    const int masterW = s.MasterBitmap ? s.MasterBitmap->Width() : 0;
    const int masterH = s.MasterBitmap ? s.MasterBitmap->Height() : 0;
    for (const skin::TsMaskData& m : s.Masks) {
        if (m.Bmp) continue;
        if (m.R.Left < 0 || m.R.Top < 0 || m.R.Right > masterW || m.R.Bottom > masterH ||
            m.R.Right <= m.R.Left || m.R.Bottom <= m.R.Top) {
            faults.push_back("mask " + m.SectionName + " " + m.PropertyName +
                             " leaves the master bitmap");
        }
    }

    const int global = s.ConstData.IndexGLOBALINFO;
    const skin::TColor surface = s.IsValidSkinIndex(global) ? s.Sections[size_t(global)].Color : 0;
    for (const skin::TsGeneralData& g : s.Sections) {
        auto text = [&](const char* what, skin::TColor font, skin::TColor back) {
            if (IsNoColour(font) || IsNoColour(back)) return;
            if (ContrastRatio(font, back) < 7) {
                char ratio[16];
                std::snprintf(ratio, sizeof ratio, "%.2f", ContrastRatio(font, back));
                faults.push_back(g.SectionName + " " + what + " " + Hex6(font) + " on " +
                                 Hex6(back) + " has a contrast of " + ratio + ", below 7");
            }
        };
        const bool global = g.SectionName == "GLOBALINFO";
        if (g.Transparency < 100) text("FONTCOLOR", g.FontColor, g.Color);
        if (!global && g.HotTransparency < 100) text("HOTFONTCOLOR", g.HotFontColor, g.HotColor);
        if (global || !s.IsValidImgIndex(g.BordersMask)) continue;
        const skin::TsMaskData& m = s.Masks[size_t(g.BordersMask)];
        const skin::TColor frame = DarkestFramePixel(s, m);
        const skin::TColor back = g.Transparency >= 100 || IsNoColour(g.Color) ? surface : g.Color;
        if (frame == skin::kTransparentKey || ContrastRatio(frame, back) < 3) {
            faults.push_back(g.SectionName + " BORDERSMASK does not stand out from its surface");
        }
    }
    return faults;
}

std::string Manifest(const std::vector<SkinFile>& files, const skin::TsSkinContent& s) {
    std::string out = "# The internal skin, as packed.\n\n[entries]\n";
    for (const auto& [name, data] : files)
        out += name + " " + std::to_string(data.size()) + "\n";
    vcl::TStringList lines;
    lines.SetText(files.front().second);
    vcl::TMemIniFile ini;
    ini.SetStrings(&lines);
    vcl::TStringList sections, keys;
    ini.ReadSections(&sections);
    out += "\n[sections]\n";
    for (int i = 0; i < sections.Count(); ++i) {
        ini.ReadSection(sections.Get(i), &keys);
        out += sections.Get(i) + ":";
        for (int k = 0; k < keys.Count(); ++k)
            out += " " + keys.Get(k);
        out += "\n";
    }
    out += "\n[masks]\n";
    for (const skin::TsMaskData& m : s.Masks) {
        char line[256];
        std::snprintf(line, sizeof line,
                      "%s %s: %s (%d,%d,%d,%d) images %d type %d imgtype %d borders %d,%d,%d,%d "
                      "stretch %d\n",
                      m.SectionName.c_str(), m.PropertyName.c_str(), m.Bmp ? "own" : "master",
                      m.R.Left, m.R.Top, m.R.Right, m.R.Bottom, m.ImageCount, m.MaskType,
                      int(m.ImgType), m.WL, m.WT, m.WR, m.WB, m.StretchMode);
        out += line;
    }
    return out;
}

std::string ResourceSource(const std::vector<Resource>& resources) {
    std::string out =
        "// Generated by tools/skinbuild from skin/topaz; not to be edited.\n"
        "#include \"vcl/system/resources.h\"\n\nnamespace {\n";
    for (size_t r = 0; r < resources.size(); ++r) {
        const std::string& d = resources[r].Data;
        out += "\nconst unsigned char kData" + std::to_string(r) + "[] = {";
        for (size_t i = 0; i < d.size(); ++i) {
            out += (i % 24 == 0 ? "\n    " : " ") + std::to_string(uint8_t(d[i])) + ",";
        }
        out += "\n};\nconst vcl::ResourceRegistrar kRegistrar" + std::to_string(r) +
               "(vcl::RT_RCDATA, \"" + resources[r].Name + "\", kData" + std::to_string(r) +
               ", sizeof kData" + std::to_string(r) + ");\n";
    }
    out += "\n}  // namespace\n";
    return out;
}

std::vector<SkinFile> UnpackSkin(const std::string& blob) {
    vcl::TStringStream stream(blob);
    auto convertor = std::make_unique<skin::TacSkinConvertor>();
    convertor->LendPackedData(&stream);
    skin::ExtractPackedSkin(convertor);
    auto bytes = [](vcl::TMemoryStream* m) {
        return std::string(reinterpret_cast<const char*>(m->Memory()), size_t(m->Size()));
    };
    std::vector<SkinFile> files;
    if (convertor->Options) files.emplace_back("Options.dat", bytes(convertor->Options.get()));
    for (const skin::TacImageItem& item : convertor->Files) {
        files.emplace_back(item.Name, bytes(item.Data.get()));
    }
    return files;
}

namespace {

// The entry's path below the folder with "/" separators; empty when it would leave the folder.
std::string InsideName(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos) return {};
    for (size_t at = 0; at <= name.size();) {
        const size_t end = std::min(name.find('/', at), name.size());
        const std::string_view part(name.data() + at, end - at);
        if (part.empty() || part == "." || part == "..") return {};
        at = end + 1;
    }
    return name;
}

}  // namespace

void WriteSkinFolder(const std::vector<SkinFile>& files, const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [name, data] : files) {
        names.push_back(InsideName(name));
        if (names.back().empty())
            throw std::runtime_error("entry \"" + name + "\" would be written outside " + folder);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const std::filesystem::path path = std::filesystem::path(folder) / names[i];
        std::filesystem::create_directories(path.parent_path());
        if (!os::WriteFileAtomically(path.string(), files[i].second))
            throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace skinbuild
