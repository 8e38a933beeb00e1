// The size of a text in a font, measured off screen.
#pragma once

#include <string_view>

#include "vcl/graphics/graphics.h"
#include "vcl/system/types.h"

namespace skin {

vcl::TPoint TextSizeOf(vcl::TFont* font, std::string_view text);

}  // namespace skin
