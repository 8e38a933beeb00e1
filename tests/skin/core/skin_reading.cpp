#include "tests/skin/core/skin_reading.h"

#include "skin/core/pixels/bitmaps.h"

namespace skin_test {

SkinReading::SkinReading() {
    source.CommonSections = &common;
    source.InternalSkins = &internals;
    source.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
}

void SkinReading::Packed(const TestSkin& s) {
    blob_ = std::make_unique<vcl::TStringStream>(s.Packed());
    convertor_ = std::make_unique<skin::TacSkinConvertor>();
    convertor_->LendPackedData(blob_.get());
    skin::ExtractPackedSkin(convertor_);
    skin::ReadPackedOptions(*convertor_, ini);
    source.Options = &ini;
    source.Convertor = convertor_.get();
    skin::ReadSkinContent(skin, source);
}

void SkinReading::Folder(const std::string& folder) {
    ini.Rename(folder + "Options.dat", true);
    source.Options = &ini;
    source.SkinFolder = folder;
    skin::ReadSkinContent(skin, source);
}

void SkinReading::Text(const std::string& options) {
    vcl::TStringList lines;
    lines.SetText(options);
    ini.SetStrings(&lines);
    source.Options = &ini;
    skin::ReadSkinContent(skin, source);
}

void SkinReading::Internal(const std::string& name) {
    source.SkinName = name;
    skin::ReadSkinContent(skin, source);
}

uint32_t PixelOf(vcl::TBitmap* bmp, int x, int y) {
    const skin::PixelView v = skin::ViewOf(bmp);
    const uint8_t* p = v.At(x, y);
    const uint32_t c = skin::RGB(p[2], p[1], p[0]);
    return v.BytesPerPixel == 4 ? c | uint32_t(p[3]) << 24 : c;
}

}  // namespace skin_test
