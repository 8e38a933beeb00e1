// Reading a whole skin into a TsSkinContent once the skin loading has found its source: the
// pictures, the patterns, the keys and the standard indexes, in that order.
#pragma once

#include "skin/core/data/skin_content.h"
#include "skin/core/data/skin_source.h"

namespace skin {

// The options entry of an unpacked skin as INI text; an empty text when the skin has none.
void ReadPackedOptions(const TacSkinConvertor& convertor, vcl::TMemIniFile& ini);

// Any error ends the read with the skin as far as it got (its arrays hold only whole
// pictures).
void ReadSkinContent(TsSkinContent& skin, const SkinSource& source);

}  // namespace skin
