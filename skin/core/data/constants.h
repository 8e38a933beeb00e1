// The skin engine's constants: the scroll button size, the limit of skin versions it fully
// reads, and the interface texts of its menus, dialogs and error messages. (The transparent key
// colour is kTransparentKey of pixels.h.)
//
// The texts are English whatever the program's language is, and are compiled in; each is found
// by the number it has in the library's string table.
#pragma once

#include <cstdint>
#include <string_view>

#include "skin/core/pixels/pixels.h"

namespace skin {

// Skins of a later version are read, with a warning that they may not be shown fully.
inline constexpr double MAX_SKIN_VERSION = 6.99;

// The system's width of a scroll bar's arrow button, taken at start-up.
extern int32_t ScrollButtonSize;

// The names of the two truth values in skin options.
inline constexpr std::string_view kFalseName = "FALSE";
inline constexpr std::string_view kTrueName = "TRUE";

// String-table numbers of the texts the other parts of the engine show.
enum : int {
    s_FrameAdapterError = 58950,
    s_ListBoxNotVirtual = 58961,
    s_ErrorSettingCount = 58962,
    s_InternalSkin = 58963,
    s_AvailSkins = 58964,
    s_Close = 58976,
    s_Maximize = 58977,
    s_Minimize = 58978,
    s_Size = 58979,
    s_Move = 58980,
    s_Restore = 58981,
};

// The text of a string-table number; empty for a number the library does not have.
std::string_view LoadConstText(int id);

// Sets the values that come from the system; once, however often it is called.
void InitConstUnit();

}  // namespace skin
