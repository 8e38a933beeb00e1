// The glyph of a skinned button, whatever its source: the button's own Glyph bitmap (24-bit
// with a transparent colour, or 32-bit with alpha; NumGlyphs state frames side by side), a
// plain image list, or an alpha image list. Also the image of a tool-bar button, and the
// default glyph list the buttons inside edits fall back on.
//
// Rules:
//  1. Drawing never changes the button: a device-dependent glyph, a 32-bit glyph without any
//     fully opaque pixel, and a glyph that is greyed or made fainter are worked on as copies.
//  2. A frame beyond the glyph's last shows the last (state 3 of four frames is the fourth,
//     state 5 too); NumGlyphs below 1 counts as 1.
//  3. In the cache the disabled look is the whole cache's (the caller blends it); on another
//     canvas a disabled 32-bit glyph is at least half transparent (dgBlended) or grey.
//  4. An image list without a background colour (clNone) is keyed on 0xFF00FF.
//  5. Blend is the share, in percent, of what lies under the glyph in the normal state.
#pragma once

#include "skin/controls/skin_types.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/image_list.h"

namespace vcl {
class TControl;
}

namespace skin {

class TsAlphaImageList;
class TsCommonData;

// The number of images of a list; 0 for none.
int ImageListCount(vcl::TCustomImageList* images);

// What DrawButtonGlyph reads of a button.
struct ButtonGlyph {
    vcl::TBitmap* Glyph = nullptr;
    int NumGlyphs = 1;
    vcl::TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    TsCommonData* SkinData = nullptr;
    bool Skinned = false;  // painted through the skin: the section's colours and the cache
    bool Enabled = true;
    bool Down = false;
    int Blend = 0;
    bool Grayed = false;
    TsDisabledGlyphKind DisabledGlyphKind{dgBlended};
    bool Reflected = false;
    TRect GlyphRect{};
    int State = 0;  // 0 normal, 1 hot, 2 pressed; larger values are limited per source
    vcl::TColor ControlColor = vcl::clBtnFace;
};

// A button that has a glyph to draw (both skinned buttons).
class TsGlyphOwner {
public:
    virtual ~TsGlyphOwner() = default;
    virtual ButtonGlyph GlyphInputs() = 0;
};

// Draws the glyph of `button` into `canvas`, or into its cache when `canvas` is null. Any
// control that is not a TsGlyphOwner is ignored.
void DrawButtonGlyph(vcl::TControl* button, vcl::TCanvas* canvas);
void DrawButtonGlyph(const ButtonGlyph& in, vcl::TCanvas* canvas);

// The image of a tool-bar button with the custom-draw state `itemState` (CDIS_...): `images`
// and `hotImages` are the bar's lists, `button` the button's rectangle in `canvas`.
struct ToolButtonImage {
    vcl::TCustomImageList* Images = nullptr;
    vcl::TCustomImageList* HotImages = nullptr;
    TRect Button{};
    bool ListStyle = false;     // the image sits left of the caption
    bool ShowCaptions = false;  // captions under the images
    int DropDownWidth = 0;      // the drop-down part's allowance
    int ImageIndex = -1;
    uint32_t ItemState = 0;
};
void DrawToolButtonImage(const ToolButtonImage& in, vcl::TCanvas* canvas);

// Picture `index` of a list that is not an alpha image list, on the list's background colour
// (0xFF00FF when it has none), into a new 24-bit bitmap; `key` receives that colour.
vcl::TBitmap* ListPicture(vcl::TCustomImageList* images, int index, TColor& key);

// The default glyphs: 48 x 16 pictures, three 16 x 16 states each (normal, hot, pressed):
// 0 a folder, 1 an arrow down, 2 a calendar, 3 an ellipsis, 4 a calculator. Built from the
// program's pictures on first use, freed by FreeDefaultGlyphs.
TsAlphaImageList* DefaultGlyphs();
void FreeDefaultGlyphs();

}  // namespace skin
