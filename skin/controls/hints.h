// TsAlphaHints: the component that puts the application's hints into windows of its own while
// it is active, painted from a skin section ("HINT") or from a picture template, measured with
// the hint HTML renderer in HTMLMode, placed by the corner whose side of the point the monitor
// has room on, and faded in.
//
// Rules it keeps:
//  1. Only an active component, made last, serves hints; going inactive or away gives the
//     application its plain hint window back at the next hint.
//  2. A template is found by its trimmed name; no name and an unknown name both give the
//     built-in balloon.
//  3. A hint stays on the monitor that holds its top-left corner; the corner it points from
//     follows which way it had to move (PlaceHint).
//  4. The fade reaches (100 − T) × 2.55 (rounded, halves to even) in 12 equal steps, T being
//     the section's transparency for a skin-drawn hint, else 0.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "skin/core/state/common_data.h"

#include "vcl/controls/forms.h"
#include "vcl/system/collection.h"

namespace skin {

class TsSkinManager;
class TPNGGraphic;
class TacHintImage;

enum TacBorderDrawMode : uint8_t { dmRepeat, dmStretch };

// The fixed borders of a hint picture. A border is at most the picture's size less one, and
// its opposite one gives way so that one pixel stays between them; negative reads as 0.
class TacBordersSizes : public vcl::TPersistent {
public:
    VCL_CLASS(TacBordersSizes, vcl::TPersistent)
    explicit TacBordersSizes(TacHintImage* image = nullptr) : image_(image) {}

    int Top() const { return std::max(v_[0], 0); }
    int Left() const { return std::max(v_[1], 0); }
    int Bottom() const { return std::max(v_[2], 0); }
    int Right() const { return std::max(v_[3], 0); }
    void SetTop(int v) { Set(0, v); }
    void SetLeft(int v) { Set(1, v); }
    void SetBottom(int v) { Set(2, v); }
    void SetRight(int v) { Set(3, v); }
    // As a rectangle of widths (left, top, right, bottom).
    vcl::TRect AsRect() const { return vcl::TRect(Left(), Top(), Right(), Bottom()); }
    void Assign(const vcl::TPersistent* source) override;

private:
    friend class TacHintImage;
    void Set(int index, int value);

    TacHintImage* image_;
    std::array<int, 4> v_{};  // top, left, bottom, right
};

// How each border and the centre of a hint picture fill their room; all stretch at first.
class TacBorderDrawModes : public vcl::TPersistent {
public:
    VCL_CLASS(TacBorderDrawModes, vcl::TPersistent)
    TacBorderDrawMode Top = dmStretch, Left = dmStretch, Bottom = dmStretch, Right = dmStretch,
                      Center = dmStretch;
    void Assign(const vcl::TPersistent* source) override;
};

// One picture of a template: drawn nine-slice over the whole hint, its borders fixed, the text
// inside its client margins.
class TacHintImage : public vcl::TPersistent {
public:
    VCL_CLASS(TacHintImage, vcl::TPersistent)
    TacHintImage();
    ~TacHintImage() override;

    TPNGGraphic* Image() const { return image_.get(); }
    // Takes the picture; borders and margins become half of it less one pixel, and pixels
    // without alpha turn black.
    void SetImage(const vcl::TPersistent* picture);
    bool Empty() const;
    int ImageWidth() const;
    int ImageHeight() const;
    TacBordersSizes* ClientMargins() { return &margins_; }
    TacBordersSizes* BordersWidths() { return &borders_; }
    TacBorderDrawModes* BorderDrawModes() { return &modes_; }
    void Assign(const vcl::TPersistent* source) override;

    // Runs after every change (not while one runs already).
    vcl::TNotifyEvent OnChange;

private:
    friend class TacBordersSizes;
    void Changed();

    std::unique_ptr<TPNGGraphic, vcl::FreeDeleter> image_;
    TacBordersSizes margins_{this}, borders_{this};
    TacBorderDrawModes modes_;
    bool changing_ = false;
};

// A template of hint pictures, found by its name: the default picture and the ones for the
// corners a hint may point from (used when not empty).
class TacHintTemplate : public vcl::TCollectionItem {
public:
    VCL_CLASS_PUBLISHED(TacHintTemplate, vcl::TCollectionItem)
    explicit TacHintTemplate(vcl::TCollection* collection);
    ~TacHintTemplate() override;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    vcl::TFont* Font() { return &font_; }
    TacHintImage* ImageDefault() const { return images_[0].get(); }
    TacHintImage* Img_LeftBottom() const { return images_[1].get(); }
    TacHintImage* Img_RightTop() const { return images_[2].get(); }
    TacHintImage* Img_RightBottom() const { return images_[3].get(); }
    // The picture for `corner` (1 left bottom, 2 right top, 3 right bottom), the default one
    // when that is empty.
    TacHintImage* ImageFor(int corner) const;

private:
    std::string name_;
    vcl::TFont font_;
    std::array<std::unique_ptr<TacHintImage, vcl::FreeDeleter>, 4> images_;
};

// The built-in balloon (the program's "ACHINT" picture): borders 7, 7, 15, 15 and client
// margins 11, 7, 15, 14 (left, top, right, bottom).
TacHintTemplate* BuiltInHintTemplate();

class TsAlphaHints : public vcl::TComponent {
public:
    VCL_CLASS_PUBLISHED(TsAlphaHints, vcl::TComponent)
    explicit TsAlphaHints(vcl::TComponent* owner);
    ~TsAlphaHints() override;

    bool Active() const { return active_; }
    void SetActive(bool on);
    bool Animated() const { return animated_; }
    void SetAnimated(bool on) { animated_ = on; }
    // 0 or less: a hint line may be as wide as the screen.
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int width) { maxWidth_ = width; }
    bool HTMLMode() const { return htmlMode_; }
    void SetHTMLMode(bool on) { htmlMode_ = on; }
    int PauseHide() const { return pauseHide_; }
    void SetPauseHide(int ms);
    const std::string& SkinSection() const { return skinSection_; }
    void SetSkinSection(const std::string& section) { skinSection_ = section; }
    bool UseSkinData() const { return useSkinData_; }
    void SetUseSkinData(bool on) { useSkinData_ = on; }
    vcl::TCollection* Templates() const { return templates_; }
    const std::string& TemplateName() const { return templateName_; }
    void SetTemplateName(const std::string& name);
    // The template the name found; -1: the built-in balloon.
    int TemplateIndex() const { return templateIndex_; }

    // Hints are painted from the skin section: an active component, a default manager, skin
    // data asked for, and a section of that name in the skin.
    bool UsesSkinSection() const;
    // Where the application last put a hint (x -1: nowhere since the last one showed).
    vcl::TPoint LastPosition() const { return lastPos_; }
    void ClearLastPosition() { lastPos_ = {-1, -1}; }

    // Asked before each hint while the component serves, as the application's OnShowHint.
    vcl::TShowHintEvent OnShowHint;

    void Loaded() override;

private:
    void ChooseWindowClass();
    void ShowHintHandler(std::string& text, bool& canShow, vcl::THintInfo& info);

    bool active_ = true;
    bool animated_ = true;
    int maxWidth_ = 120;
    bool htmlMode_ = false;
    int pauseHide_ = 5000;
    std::string skinSection_ = "HINT";
    bool useSkinData_ = false;
    vcl::TCollection* templates_;
    std::string templateName_;
    int templateIndex_ = -1;
    vcl::TPoint lastPos_{-1, -1};
};

// The hint window while a component serves: a layered window with per-pixel alpha that fades in.
// Skin-drawn, it is the component's section with its border mask (its key-coloured corners
// fully clear) and the text in the section's colours; otherwise the template's picture, whose
// alpha the text keeps (without a picture, the application's hint colour).
class TacCustomHintWindow : public vcl::THintWindow {
public:
    VCL_CLASS(TacCustomHintWindow, vcl::THintWindow)
    explicit TacCustomHintWindow(vcl::TComponent* owner);
    ~TacCustomHintWindow() override;

    vcl::TRect CalcHintRect(int maxWidth, const std::string& hint) override;
    void ActivateHint(vcl::TRect rect, const std::string& hint) override;
    void WndProc(vcl::TMessage& message) override;

    // The corner the last hint pointed from (0 below right of the point .. 3 above left).
    int Corner() const { return corner_; }
    // The last hint's picture (32-bit, premultiplied alpha).
    vcl::TBitmap* Picture() const { return picture_.get(); }
    // Painted from the component's skin section.
    bool SkinDrawn() const;
    // The borders the section's border mask gives a skin-drawn hint (left, top, right, bottom).
    vcl::TRect SkinBorders() const;

protected:
    void CreateParams(vcl::TCreateParams& params) override;

private:
    void PaintSkinned(const std::string& text);
    void PaintTemplate(const std::string& text);
    // The text measured in `r` (its width the limit), with the work bitmap's font.
    vcl::TRect MeasureText(const std::string& text, vcl::TRect r);
    // The hint text's own box, in the font it is drawn with (kept from CalcHintRect for the
    // ActivateHint that follows it).
    vcl::TRect TextBox(const std::string& hint);
    // Where a hint goes: `stored` (the window's given position) when both its coordinates are
    // set, else the component's last hint position, else the cursor.
    vcl::TPoint HintPosition(vcl::TPoint stored) const;
    struct Layout {
        vcl::TRect rect;  // on the monitor
        int corner = 0;
        TacHintImage* image = nullptr;  // a template hint's picture for the corner
    };
    // The hint placed at `at`, sized by its text and, for a template hint, by the picture of
    // the corner it ends at.
    Layout LayOut(const std::string& hint, vcl::TPoint at);
    int SkinIndex() const;
    // The template that serves a picture hint now, and its picture for the corner.
    TacHintTemplate* CurrentTemplate() const;
    // The text rectangle `text` grown by the picture's margins and to at least its size.
    static vcl::TRect FitImage(TacHintImage* image, const vcl::TRect& text);
    // A skin-drawn hint's window takes the shape of its section (key-coloured corners cut).
    void MakeRegion();

    std::unique_ptr<TsCommonData> data_;
    TacHintImage* image_ = nullptr;
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> work_;
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> picture_;
    int corner_ = 0;
    std::string measured_;
    vcl::TRect textBox_{};
    bool measuredValid_ = false;
};

// The window class the component gives the application.
class TacPngHintWindow : public TacCustomHintWindow {
public:
    VCL_CLASS(TacPngHintWindow, TacCustomHintWindow)
    using TacCustomHintWindow::TacCustomHintWindow;
};

// The component serving hints now, or nullptr.
TsAlphaHints* CurrentAlphaHints();

// Moves the hint rectangle `r`, placed for `corner` at the point `at` (corners 1 and 3 above
// the point, 2 and 3 left of it), onto `monitor`, and answers the corner it points from after.
// A skin-drawn hint moves to the monitor's edges; a template hint keeps its tail by the point,
// and pointing down (corners 1 and 3) it stands 16 pixels higher, clear of the cursor.
int PlaceHint(vcl::TRect& r, vcl::TPoint at, int corner, const vcl::TRect& monitor,
              bool skinDrawn);

// The constant alpha of each of the 12 fade steps towards the section's transparency `t`.
std::array<uint8_t, 12> HintFadeSteps(int t);

}  // namespace skin
