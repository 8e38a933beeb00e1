// The options of a skin: the INI text "Options.dat" read into the global skin record and one
// section record per INI section, or, for an internal skin without a text, the same taken from
// its collections. The manager's common sections are merged in after, then the section borders
// are found and the hue and saturation applied.
//
// Rules:
//  1. A key a section lacks is taken from the section its PARENTCLASS names, and so on up for at
//     at most kMaxParentDepth steps; "?" (texts) and -1 (integers) count as lacking. A chain
//     cut there, or one that names its own section, gives the key's default.
//  2. Truth values are true exactly when the value is "TRUE" in any letter case.
//  3. Integer keys take the default for a value that is not a number; the keys read strictly
//     (the shadow and title-glow values, gradient texts, the font texts of collections) raise
//     EConvertError naming the key's place, and the load ends.
//  4. Sections of the common text that the skin has keep the skin's values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "skin/core/data/skin_content.h"
#include "skin/core/data/skin_source.h"

namespace skin {

void ReadSkinKeys(TsSkinContent& skin, const SkinSource& source);

std::string ReadSectionKeyInherited(const vcl::TMemIniFile& ini, const std::string& section,
                                    std::string_view key, const std::string& def);
int32_t ReadSectionIntInherited(const vcl::TMemIniFile& ini, const std::string& section,
                                std::string_view key, int32_t def);

// The warning for a skin of a later version than this engine fully reads.
void ShowSkinVersionMessages(const TsSkinData& data, const SkinSource& source);

}  // namespace skin
