// Building the program's internal skin from its sources: the packed skin (options entry first,
// then the pictures in name order, zlib level 9, so the same sources give the same bytes), the
// checks the skin must pass before the build takes it, a readable manifest, and the C++ source
// that builds the skin and the shadow pictures into the program as resources.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "skin/core/data/skin_content.h"

namespace skinbuild {

// A file of a skin: its name and its bytes.
using SkinFile = std::pair<std::string, std::string>;

// "Options.dat" and every other file of `folder`, options first, the rest by name.
std::vector<SkinFile> ReadSkinFolder(const std::string& folder);
std::string PackSkin(const std::vector<SkinFile>& files);
// Reads a packed skin as the program does, hue and saturation untouched.
void LoadPackedSkin(const std::string& blob, skin::TsSkinContent& skin);

// The WCAG contrast ratio of two colours (0x00BBGGRR), 1 to 21.
double ContrastRatio(skin::TColor a, skin::TColor b);

// Every fault of the skin, one line each; none for a skin the painters can draw from.
std::vector<std::string> CheckSkin(const skin::TsSkinContent& skin);

std::string Manifest(const std::vector<SkinFile>& files, const skin::TsSkinContent& skin);

// A named block of bytes for the generated resources.
struct Resource {
    std::string Name;
    std::string Data;
};
std::string ResourceSource(const std::vector<Resource>& resources);

// The files of a packed skin, the options entry as "Options.dat".
std::vector<SkinFile> UnpackSkin(const std::string& blob);
// Writes the files into `folder` (made when missing). A packed skin comes from outside, so every
// name is checked before anything is written: an empty or absolute name, a drive letter or a
// ".." component would leave the folder, and raises naming the entry.
void WriteSkinFolder(const std::vector<SkinFile>& files, const std::string& folder);

}  // namespace skinbuild
