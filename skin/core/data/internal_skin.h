// The program's own skin, built into it as a resource by tools/skinbuild.
#pragma once

#include <string>

namespace skin {

class TsStoredSkins;

// The resource that holds the packed internal skin.
inline constexpr const char* kInternalSkinResource = "TOPAZ";

// The name the internal skin is listed under.
std::string InternalSkinName();

// Appends the internal skin to `skins`; raises EResNotFound when the program was built
// without it.
void AddInternalSkin(TsStoredSkins& skins);

}  // namespace skin
