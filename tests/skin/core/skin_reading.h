// A skin read as the skin loading reads it: unpacked from a blob or taken from a folder or an
// options text, then pictures, patterns, keys and standard indexes into a TsSkinContent.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/core/data/skin_reader.h"
#include "skin/core/data/stored_skins.h"
#include "tests/skin/core/skin_writer.h"
#include "vcl/system/string_list.h"

namespace skin_test {

struct SkinReading {
    SkinReading();

    // Each reads into `skin`; a load error comes out as it is.
    void Packed(const TestSkin& s);
    void Folder(const std::string& folder);  // with its trailing "/"
    void Text(const std::string& options);
    // An internal skin held as collections: no options text.
    void Internal(const std::string& name);

    skin::TsSkinContent skin;
    skin::SkinSource source;
    vcl::TMemIniFile ini;
    vcl::TStringList common;  // the manager's common sections
    skin::TsStoredSkins internals{nullptr};
    std::vector<std::string> messages;

private:
    std::unique_ptr<vcl::TStringStream> blob_;
    std::unique_ptr<skin::TacSkinConvertor> convertor_;
};

// The colour of a 24- or 32-bit bitmap's pixel, 0x00BBGGRR (alpha on top for 32 bits).
uint32_t PixelOf(vcl::TBitmap* bmp, int x, int y);

}  // namespace skin_test
