// SkinSource: everything the loaders of a skin read from, gathered by the skin loading: the
// options text, the unpacked files of a packed skin, the skin's folder and name, the internal
// skins, the manager's common sections and its hue and saturation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "skin/core/data/skin_pack.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/ini_files.h"
#include "vcl/system/string_list.h"

namespace skin {

class TsStoredSkins;

struct SkinSource {
    // The options text; none for an internal skin held as collections.
    const vcl::TMemIniFile* Options = nullptr;
    // The files of a packed skin; none for a folder skin.
    const TacSkinConvertor* Convertor = nullptr;
    std::string SkinFolder;  // with its trailing separator
    std::string SkinName;
    const TsStoredSkins* InternalSkins = nullptr;
    const vcl::TStrings* CommonSections = nullptr;
    int HueOffset = 0;
    int Saturation = 0;
    // Messages for the operator (the skin version warning); none shows nothing.
    std::function<void(const std::string&)> ShowMessage;
    // The bytes that all decoded pictures of one load may take together; a skin of a few kB
    // can name pictures of hundreds of MB, and a load past this fails.
    int64_t PictureBudget = int64_t(256) << 20;

    bool IsPacked() const { return Convertor != nullptr; }
};

// Runs `f`; an error of the class library it raises gets its place appended to the message
// (" (Options.dat [BUTTON] BORDERSMASK)") and goes on, of the same class.
template <typename F>
decltype(auto) AtPlace(const std::string& place, F&& f) {
    try {
        return std::forward<F>(f)();
    } catch (vcl::Exception& e) {
        e.Message += " (" + place + ")";
        throw;
    }
}

// The place of a key of the options text.
inline std::string OptionsPlace(const std::string& section, const std::string& key) {
    return "Options.dat [" + section + "] " + key;
}

}  // namespace skin
