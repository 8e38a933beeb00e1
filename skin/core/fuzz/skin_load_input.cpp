#include "skin/core/fuzz/skin_load_input.h"

#include <string>
#include <string_view>
#include <vector>

#include "skin/core/data/skin_reader.h"
#include "skin/core/pixels/errors.h"
#include "tests/skin/core/skin_writer.h"
#include "vcl/system/exceptions.h"

namespace skin_fuzz {

namespace {

// Sections with a border mask each; one block of twenty in fifty forms a parent chain longer
// than the readers follow, its last section carrying a few keys.
std::string SynthesizedSections(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "[S" + std::to_string(i) + "]\n";
        const bool chained = i / 20 % 50 == 0;
        if (chained && i % 20 != 19) text += "PARENTCLASS=S" + std::to_string(i + 1) + "\n";
        if (chained && i % 20 == 19) text += "GLOW=1\nIMGTOPLEFT=@0000@0000@0004@0004@1@0\n";
        text += "BORDERSMASK=^0000^0000^0012^0012^0000^0000^0000^0000^1^0^0^0\n";
    }
    return text;
}

std::vector<std::string> Entries(std::string_view text, int sections) {
    std::vector<std::string> entries;
    std::string name = "Options.dat";
    for (;;) {
        const size_t mark = text.find("\n>>");
        std::string body(text.substr(0, mark));
        if (entries.empty()) body += "\n" + SynthesizedSections(sections);
        entries.push_back(skin_test::Entry(name, body));
        if (mark == std::string_view::npos) break;
        const size_t eol = text.find('\n', mark + 3);
        name = std::string(
            text.substr(mark + 3, eol == std::string_view::npos ? eol : eol - mark - 3));
        if (eol == std::string_view::npos) break;
        text.remove_prefix(eol + 1);
    }
    return entries;
}

void AskEverything(const skin::TsSkinContent& skin) {
    for (int i = 0; i < int(skin.Masks.size()); ++i) {
        skin.GetMaskStateSize(i);
        skin.MaskWidthLeft(i), skin.MaskWidthTop(i), skin.MaskWidthRight(i),
            skin.MaskWidthBottom(i);
        skin::SkinFrameWidth(skin.Masks[size_t(i)]), skin::SkinFrameHeight(skin.Masks[size_t(i)]);
    }
    for (int i = 0; i < int(skin.Sections.size()); ++i) {
        const std::string& name = skin.Sections[size_t(i)].SectionName;
        skin.GetMaskIndex(i, name, "GLYPHMASK");
        skin.GetTextureIndex(i, name, "PATTERN");
        skin.GetPatternIndex(i, name, "HOTPATTERN");
    }
}

}  // namespace

void LoadSkinInput(const uint8_t* data, size_t size) {
    if (size == 0) return;
    static const int kSections[] = {0, 10, 100, 1000};
    static const int kHues[] = {0, 120, -45, 360};
    static const int kSaturations[] = {0, 30, -30, 150};
    const uint8_t flags = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool huge = size > 1 && flags == 0xFF && data[1] == 0xFF;
    const int sections = huge ? 100000 : kSections[flags & 3];
    vcl::TStringStream blob(skin_test::Pack(Entries(text, sections)));
    auto convertor = std::make_unique<skin::TacSkinConvertor>();
    convertor->LendPackedData(&blob);
    vcl::TMemIniFile ini;
    skin::SkinSource source;
    source.Options = &ini;
    source.Convertor = convertor.get();
    source.SkinName = "fuzz";
    source.HueOffset = kHues[flags >> 2 & 3];
    source.Saturation = kSaturations[flags >> 4 & 3];
    skin::TsSkinContent skin;
    try {
        skin::ExtractPackedSkin(convertor);
        skin::ReadPackedOptions(*convertor, ini);
        skin::ReadSkinContent(skin, source);
    } catch (const vcl::EConvertError&) {
    } catch (const vcl::EInvalidGraphic&) {
    } catch (const vcl::EReadError&) {
    } catch (const skin::EGraphicCompression&) {
    } catch (const skin::EColorConversionError&) {}
    // What a failed load leaves is still asked: painters may meet it.
    AskEverything(skin);
}

}  // namespace skin_fuzz
