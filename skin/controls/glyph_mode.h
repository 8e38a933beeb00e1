// TsGlyphMode, the glyph options an edit gives its button; without an image of its own the
// button shows one of the default glyphs (DefaultGlyphs, 48 x 16: three 16 x 16 states).
#pragma once

#include <string>

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/image_list.h"
#include "vcl/system/persistent.h"

namespace skin {

class TsSpeedButton;

inline constexpr int kDefaultGlyphWidth = 48;
inline constexpr int kDefaultGlyphHeight = 16;

class TsGlyphMode : public vcl::TPersistent {
public:
    VCL_CLASS_PUBLISHED(TsGlyphMode, vcl::TPersistent)
    explicit TsGlyphMode(vcl::TPersistent* owner) : owner_(owner) {}

    vcl::TCustomImageList* Images() const { return images_; }
    void SetImages(vcl::TCustomImageList* images);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int ImageIndexHot() const { return imageIndexHot_; }
    void SetImageIndexHot(int index);
    int ImageIndexPressed() const { return imageIndexPressed_; }
    void SetImageIndexPressed(int index);
    int Blend() const;
    void SetBlend(int percent);
    bool Grayed() const;
    void SetGrayed(bool on);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    // The button the options serve (set by the edit).
    TsSpeedButton* Button() const { return button_; }
    void SetButton(TsSpeedButton* button) { button_ = button; }
    // A glyph of Images: ImageIndex within the list.
    bool HasOwnImage() const;
    // Of Images when it has the picture, else of the default list; a picture as wide as a
    // whole number of its heights holds that many states.
    int GlyphWidth() const;
    int GlyphHeight() const;
    int FrameCount() const;
    // The button takes the glyph's width and is repainted.
    void Invalidate();

    vcl::TPersistent* GetOwner() const override { return owner_; }

private:
    vcl::TPersistent* owner_;
    TsSpeedButton* button_ = nullptr;
    vcl::TCustomImageList* images_ = nullptr;
    int imageIndex_ = -1, imageIndexHot_ = -1, imageIndexPressed_ = -1;
    std::string hint_;
};

}  // namespace skin
