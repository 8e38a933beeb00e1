// Small stand-ins for the skinned controls, for the gallery picture and the painting benchmark:
// windowed controls that keep a TsCommonData and rebuild their cache image through the section
// and mask painters, then copy it to the screen and paint their graphic children over it with
// PaintParentBackground. What a control shows besides its section (captions, glyphs, tabs,
// scroll-bar parts) is drawn into the cache by a face painter.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skin/core/pixels/pixels.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/forms.h"

namespace skin {
class TsAlphaImageList;
class TsSkinManager;
}  // namespace skin

namespace skin_test {

class TGalleryControl : public vcl::TCustomControl {
public:
    VCL_CLASS(TGalleryControl, vcl::TCustomControl)
    TGalleryControl(vcl::TWinControl* parent, const std::string& section, int kind,
                    skin::TRect bounds);
    ~TGalleryControl() override;

    void WndProc(vcl::TMessage& m) override;
    // Rebuilds the cache image: the section over the parent's background, then the face.
    void RebuildCache();
    // What lies behind the control, put into `r` of the cache image.
    void CopyParent(skin::TRect r);

    skin::TsCommonData* SkinData;
    int State = 0;  // the section state: 0 normal, 1 hot, 2 pressed (or active)
    // Draws what the control shows over its section into the cache image.
    std::function<void(TGalleryControl& self, vcl::TBitmap* cache)> Face;
    // Paints only the face (the section is left to the face), for group boxes and tab bars.
    bool FaceOnly = false;

protected:
    void PaintWindow(win::HDC dc) override;
};

// A caption without a window, painted by its parent over the parent's picture.
class TGalleryLabel : public vcl::TGraphicControl {
public:
    VCL_CLASS(TGalleryLabel, vcl::TGraphicControl)
    TGalleryLabel(vcl::TWinControl* parent, const std::string& text, skin::TRect bounds);

protected:
    void Paint() override;
};

// The gallery: a face of section FORM filling `form`, with one of each control laid out in
// 640 x 400 pixels from `origin`. Answers the face.
struct Gallery {
    TGalleryControl* Face = nullptr;
    std::vector<TGalleryControl*> Controls;  // every skinned control, the face first
    skin::TsAlphaImageList* Images = nullptr;
};
// Six 16 x 16 glyphs with alpha, made from PNG pictures.
skin::TsAlphaImageList* MakeGalleryImages(vcl::TComponent* owner);
Gallery BuildGalleryForm(vcl::TForm* form, skin::TsSkinManager* manager, int width, int height);
// One more set of gallery controls on `face` at `origin` (the benchmark fills a large form).
void AddGallerySet(Gallery& gallery, skin::TPoint origin);

// Every control's cache marked stale and the whole form painted again into the screen.
void RepaintGallery(Gallery& gallery);

}  // namespace skin_test
