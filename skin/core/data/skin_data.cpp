#include "skin/core/data/skin_data.h"

#include <algorithm>
#include <limits>

namespace skin {

namespace {

// Rectangles of skin files may hold any integers; their sizes are taken without overflow.
int Clamped(int64_t v) {
    return int(
        std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

int SkinFrameWidth(const TsMaskData& m) {
    // A negative count would turn the frame inside out.
    if (m.ImageCount <= 0) return 0;
    return Clamped((int64_t(m.R.Right) - m.R.Left) / m.ImageCount);
}

int SkinFrameHeight(const TsMaskData& m) {
    if (m.MaskType < 0) return 0;
    return Clamped((int64_t(m.R.Bottom) - m.R.Top) / (m.MaskType + 1));
}

const char* const TConstantSkinData::kTabNames[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
const char* const TConstantSkinData::kScrollButtonNames[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM",
                                                              "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
const char* const TConstantSkinData::kSliderNames[2] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
const char* const TConstantSkinData::kScrollBarNames[4] = {"SCROLLBAR1H", "SCROLLBAR1V",
                                                           "SCROLLBAR2H", "SCROLLBAR2V"};
const char* const TConstantSkinData::kCheckBoxNames[9] = {
    "BOXCHECKED",  "BOXUNCHECKED", "BOXGRAYED",      "RADIOCHECKED", "RADIOUNCHECKED",
    "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};

}  // namespace skin
