// Where a skin is found and how one load reads it. A skin is a folder holding "Options.dat"
// with its pictures, a packed file "<name>.asz", or an internal skin (packed in its "Data" or
// held as collections). Each load reads into a new TsSkinContent; the options text and the
// unpacked files live only as long as that one load.
//
// Rules:
//  1. Skin folders take "/" and "\" as separators and are resolved with "/" and a trailing "/".
//     A value that begins with a separator is taken as it is; one that holds ":" (a drive, as
//     the default "c:\Skins") names no folder, and nothing is looked for or listed there; any
//     other is relative to the program's folder ("..", "../x", "./x", "x").
//  2. For a name, a packed file wins over a folder; a folder with "Options.dat" over an
//     internal skin; a name that matches nothing loads the first internal skin under its name.
//  3. A load either gives a complete skin or raises; nothing of a failed load survives it.
//  4. Folders and names are the program's cp1251 text; each check, listing and read converts
//     them once, as the file streams do. A skin folder whose options file is found but cannot
//     be read fails the load; names the program's text cannot hold are not listed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "skin/core/data/skin_content.h"
#include "vcl/system/string_list.h"

namespace skin {

class TsStoredSkins;

std::string ResolveSkinDirectory(const std::string& value, const std::string& programFolder);

// What a load reads from.
struct SkinLoadRequest {
    std::string Folder;  // resolved, with its trailing "/"
    std::string Name;
    const TsStoredSkins* InternalSkins = nullptr;
    const vcl::TStrings* CommonSections = nullptr;
    int HueOffset = 0;
    int Saturation = 0;
    std::function<void(const std::string&)> ShowMessage;  // the skin version warning
};

struct LoadedSkin {
    std::unique_ptr<TsSkinContent> Content;  // null: no such skin and no internal skins
    std::string SkinName;                    // the name it was found under
    bool IsPacked = false;
};

bool PackedSkinExists(const SkinLoadRequest& request);
// From the skin folder, else the internal skin of the name, else the first internal skin.
LoadedSkin LoadSkinFromFolderOrInternal(const SkinLoadRequest& request);
// From "<Folder><Name>.asz".
LoadedSkin LoadSkinFromPackedFile(const SkinLoadRequest& request);
// The internal skin at `index`.
LoadedSkin LoadInternalSkin(const SkinLoadRequest& request, int index);

// The internal skins' names, then the skin folders (kind 0 or 2: folders holding
// "Options.dat") and packed files (kind 1 or 2: "*.asz" without the extension) in `folder`;
// sorted ignoring case. `firstName` is the first internal skin, else the first found.
void ListSkins(const TsStoredSkins* internals, const std::string& folder, int kind,
               vcl::TStrings* list, std::string& firstName);

}  // namespace skin
