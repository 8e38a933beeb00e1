#include "skin/core/data/skin_reader.h"

#include "skin/core/data/skin_images.h"
#include "skin/core/data/skin_options.h"

namespace skin {

void ReadPackedOptions(const TacSkinConvertor& convertor, vcl::TMemIniFile& ini) {
    vcl::TStringList lines;
    if (convertor.Options) {
        convertor.Options->SetPosition(0);
        lines.LoadFromStream(convertor.Options.get());
    }
    ini.SetStrings(&lines);
}

void ReadSkinContent(TsSkinContent& skin, const SkinSource& source) {
    LoadSkinPictures(skin, source);
    ReadSkinKeys(skin, source);
    skin.InitConstIndexes();
}

}  // namespace skin
