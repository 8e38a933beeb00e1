// The records of a loaded skin: the global values of GLOBALINFO (TsSkinData), one record per
// section (TsGeneralData), one per image (TsMaskData), one per large pattern picture
// (TsPatternData), and the indexes of the standard sections and masks (TConstantSkinData).
//
// Rules the records keep:
//  1. Colour fields hold colour values as read; -1, 0xFF00FF, clNone and system colours (a
//     non-zero top byte) mean "no colour" to the getters and stay so through hue and saturation.
//  2. Indexes are positions in the arrays of the skin that set them, -1 when absent; they are
//     valid until that skin is loaded again.
//  3. An image either lies in the master bitmap (`Bmp` empty, `R` its rectangle there) or is a
//     picture of its own (`R` its whole size, or empty for small JPEG textures).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/pixels/gradients.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/jpeg_image.h"

namespace skin {

class TsSkinContent;

struct TsSkinData {
    std::string SkinPath;  // the folder of the skin's files, with its trailing separator
    bool Active = false;   // the skin is in force
    double Version = 0;
    std::string Author;
    std::string Description;
    TColor Shadow1Color = 0;
    int16_t Shadow1Offset = 0;
    int16_t Shadow1Blur = 0;
    int16_t Shadow1Transparency = 0;
    int16_t BorderWidth = 0;
    int16_t TitleHeight = 0;
    int16_t MaxHeight = 0;
    int16_t FormOffset = 0;
    int16_t CenterOffset = 0;
    int16_t BorderMode = 0;
    TColor BorderColor = 0;
    int16_t BISpace = 0, BIVAlign = 0, BIRight = 0, BILeft = 0, BITop = 0;
    int16_t BIKeepHue = 0;  // 0: every title icon follows the hue; 2: the close icons keep
                            // theirs; 1: all nine keep theirs
    int16_t BICloseGlow = 0, BICloseGlowMargin = 0;
    int16_t BIMaxGlow = 0, BIMaxGlowMargin = 0;
    int16_t BIMinGlow = 0, BIMinGlowMargin = 0;
};

struct TsGeneralData {
    std::string ParentClass;
    std::string SectionName;
    TColor Color = 0;
    TColor FontColor = 0;
    TColor TCLeft = TColor(-1), TCTop = TColor(-1), TCRight = TColor(-1), TCBottom = TColor(-1);
    TColor HotFontColor = 0;
    TColor HotTCLeft = TColor(-1), HotTCTop = TColor(-1), HotTCRight = TColor(-1),
           HotTCBottom = TColor(-1);
    bool GiveOwnFont = false;
    int32_t GlowCount = 0;
    int32_t GlowMargin = 0;
    bool ReservedBoolean = false;
    int32_t Transparency = 0;  // percent; 100: the parent shows through entirely
    int32_t GradientPercent = 0;
    std::string GradientData;
    TsGradArray GradientArray;
    int32_t ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int32_t FadingIterations = 0;
    TColor HotColor = 0;
    int32_t HotTransparency = 0;
    int32_t HotGradientPercent = 0;
    std::string HotGradientData;
    TsGradArray HotGradientArray;
    int32_t HotImagePercent = 0;
    TColor HotGlowColor = 0;
    TColor GlowColor = 0;
    uint8_t HotGlowSize = 0;
    uint8_t GlowSize = 0;
    int32_t BordersMask = -1;
    int32_t CornerMasks[4] = {-1, -1, -1, -1};  // top left, top right, bottom left, bottom right
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

enum TacImgType : uint8_t {
    itisaBorder = 0,
    itisaTexture = 1,
    itisaGlyph = 2,
    itisaGlow = 3,
    itisaPngGlyph = 4,
};

// StretchMode bits.
enum : uint16_t {
    smStretch = 1,        // border strips and centre are stretched, else tiled
    smNoNormalState = 2,  // no border in the normal state; controls count a border width of 0
    smPaintCentre = 4,    // the centre belongs to the mask
};

using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;
using JpegPtr = std::unique_ptr<vcl::TJPEGImage, vcl::FreeDeleter>;

// A picture of a skin that every key naming the same file holds at once, so a file named many
// times is decoded and kept once. Whoever changes the pixels of a shared picture after the load
// (the hue and saturation shifts) changes each picture once.
template <typename T>
class SharedPicture : public std::shared_ptr<T> {
public:
    SharedPicture() = default;
    SharedPicture(std::nullptr_t) {}
    SharedPicture(std::unique_ptr<T, vcl::FreeDeleter>&& p) : std::shared_ptr<T>(std::move(p)) {}
    SharedPicture& operator=(std::unique_ptr<T, vcl::FreeDeleter>&& p) {
        std::shared_ptr<T>::operator=(std::move(p));
        return *this;
    }
    void reset(T* p = nullptr) { std::shared_ptr<T>::reset(p, vcl::FreeDeleter()); }
};

struct TsMaskData {
    SharedPicture<vcl::TBitmap> Bmp;  // the mask's own picture; empty when cut from the master
    std::string SectionName;
    std::string PropertyName;
    TRect R;
    int16_t ImageCount = 0;  // state images side by side
    int16_t MaskType = 0;    // 0: picture only; 1: picture above, its mask below
    int16_t BorderWidth = 0;
    uint16_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    // The skin that loaded the mask; painters draw nothing for a mask without one.
    const TsSkinContent* Manager = nullptr;
    int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

struct TsPatternData {
    SharedPicture<vcl::TJPEGImage> Img;
    std::string SectionName;
    std::string PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

// One state image: the rectangle's width shared by the states, its height by the picture and
// its mask. No frames (0) for a count or type that makes no frames.
int SkinFrameWidth(const TsMaskData& m);
int SkinFrameHeight(const TsMaskData& m);

// A standard section and the images the painters take from it at once.
struct TConstantSection {
    int32_t Section = -1;
    int32_t BordersMask = -1;
    int32_t Pattern = -1;
    int32_t HotPattern = -1;
    int32_t GlyphMask = -1;
};

// The indexes of the standard sections and masks, looked up once per load. All are full 32-bit
// indexes, so that a skin of many images cannot wrap them.
struct TConstantSkinData {
    int32_t IndexGLOBALINFO = -1;
    int32_t ExBorder = -1;              // mask EXBORDER of GLOBALINFO
    TConstantSection Tabs[4];           // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT
    TConstantSection ScrollButtons[4];  // SCROLLBTNTOP, SCROLLBTNBOTTOM, SCROLLBTNLEFT, ...RIGHT
    TConstantSection Sliders[2];        // SCROLLSLIDERV, SCROLLSLIDERH
    TConstantSection ScrollBars[4];     // SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V
    int32_t CheckBoxes[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};  // BOXCHECKED ... SMALLGRAYED
    TConstantSection ComboButton;  // COMBOBTN: its border mask and textures
    int32_t ComboGlyph = -1;       // GLYPHMASK of COMBOBOX

    // The standard names, in the order of the fields above.
    static const char* const kTabNames[4];
    static const char* const kScrollButtonNames[4];
    static const char* const kSliderNames[2];
    static const char* const kScrollBarNames[4];
    static const char* const kCheckBoxNames[9];
};

}  // namespace skin
