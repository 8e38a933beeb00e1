#include "vcl/graphics/graphics.h"

#include <cstring>

#include "platform/gdi/gdi.h"
#include "vcl/system/sysutils.h"

namespace vcl {

win::COLORREF ColorToRGB(TColor color) {
    if (color < 0) return win::GetSysColor(color & 0xFF);
    return static_cast<win::COLORREF>(color);
}

TGraphicsObject::~TGraphicsObject() {
    if (handle_) win::DeleteObject(handle_);
}

void TGraphicsObject::Changed() {
    if (handle_) {
        win::DeleteObject(handle_);
        handle_ = nullptr;
    }
    OnChange(this);
}

// --- TFont ---

std::vector<TPropInfo> TFont::Published() {
    return {Property("Name", &TFont::Name, &TFont::SetName),
            Property("Size", &TFont::Size, &TFont::SetSize),
            Property("Height", &TFont::Height, &TFont::SetHeight),
            Property("Color", &TFont::Color, &TFont::SetColor),
            Property("Style", &TFont::StyleBits, &TFont::SetStyleBits),
            Property("Charset", &TFont::Charset, &TFont::SetCharset),
            Property("Pitch", &TFont::Pitch, &TFont::SetPitch)};
}

TFont::TFont() = default;

win::HFONT TFont::Handle() {
    if (!handle_) {
        win::LOGFONT lf;
        lf.lfHeight = height_;
        lf.lfWeight = style_.Contains(fsBold) ? win::FW_BOLD : win::FW_NORMAL;
        lf.lfItalic = style_.Contains(fsItalic);
        lf.lfUnderline = style_.Contains(fsUnderline);
        lf.lfStrikeOut = style_.Contains(fsStrikeOut);
        lf.lfCharSet = charset_;
        lf.lfPitchAndFamily = pitch_ == fpFixed      ? win::FIXED_PITCH
                              : pitch_ == fpVariable ? win::VARIABLE_PITCH
                                                     : win::DEFAULT_PITCH;
        std::strncpy(lf.lfFaceName, name_.c_str(), sizeof lf.lfFaceName - 1);
        handle_ = win::CreateFontIndirect(&lf);
    }
    return static_cast<win::HFONT>(handle_);
}

void TFont::SetHandle(win::HFONT font) {
    win::LOGFONT lf;
    if (!font || win::GetObject(font, sizeof lf, &lf) == 0) return;
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = {};
    if (lf.lfWeight >= win::FW_BOLD) style_ << fsBold;
    if (lf.lfItalic) style_ << fsItalic;
    if (lf.lfUnderline) style_ << fsUnderline;
    if (lf.lfStrikeOut) style_ << fsStrikeOut;
    charset_ = lf.lfCharSet;
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, PixelsPerInch);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, PixelsPerInch, 72));
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    OnChange(this);  // the colour is not part of the handle
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
           charset_ == o.charset_ && pitch_ == o.pitch_;
}

void TFont::Assign(const TPersistent* source) {
    const auto* f = dynamic_cast<const TFont*>(source);
    if (!f) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (SameAs(*f) && PixelsPerInch == f->PixelsPerInch) return;
    name_ = f->name_;
    height_ = f->height_;
    color_ = f->color_;
    style_ = f->style_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    PixelsPerInch = f->PixelsPerInch;
    Changed();
}

// --- TPen ---

std::vector<TPropInfo> TPen::Published() {
    return {Property("Color", &TPen::Color, &TPen::SetColor),
            Property("Width", &TPen::Width, &TPen::SetWidth),
            Property("Style", &TPen::Style, &TPen::SetStyle),
            Property("Mode", &TPen::Mode, &TPen::SetMode)};
}

int PenModeToRop2(TPenMode mode) {
    static constexpr int kRop[] = {
        win::R2_BLACK,       win::R2_WHITE,      win::R2_NOP,         win::R2_NOT,
        win::R2_COPYPEN,     win::R2_NOTCOPYPEN, win::R2_MERGEPENNOT, win::R2_MASKPENNOT,
        win::R2_MERGENOTPEN, win::R2_MASKNOTPEN, win::R2_MERGEPEN,    win::R2_NOTMERGEPEN,
        win::R2_MASKPEN,     win::R2_NOTMASKPEN, win::R2_XORPEN,      win::R2_NOTXORPEN};
    return mode <= pmNotXor ? kRop[mode] : win::R2_COPYPEN;
}

win::HPEN TPen::Handle() {
    if (!handle_) {
        static constexpr int kStyle[] = {win::PS_SOLID,      win::PS_DASH,       win::PS_DOT,
                                         win::PS_DASHDOT,    win::PS_DASHDOTDOT, win::PS_NULL,
                                         win::PS_INSIDEFRAME};
        handle_ = win::CreatePen(kStyle[style_ <= psInsideFrame ? style_ : psSolid], width_,
                                 ColorToRGB(color_));
    }
    return static_cast<win::HPEN>(handle_);
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width < 0 || width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    OnChange(this);  // a DC setting, not part of the handle
}

void TPen::Assign(const TPersistent* source) {
    const auto* p = dynamic_cast<const TPen*>(source);
    if (!p) {
        TGraphicsObject::Assign(source);
        return;
    }
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
}

// --- TBrush ---

std::vector<TPropInfo> TBrush::Published() {
    return {Property("Color", &TBrush::Color, &TBrush::SetColor),
            Property("Style", &TBrush::Style, &TBrush::SetStyle)};
}

win::HBRUSH TBrush::Handle() {
    if (!handle_) {
        win::LOGBRUSH lb;
        lb.lbStyle = style_ == bsClear ? win::BS_NULL : win::BS_SOLID;
        lb.lbColor = ColorToRGB(color_);
        handle_ = win::CreateBrushIndirect(&lb);
    }
    return static_cast<win::HBRUSH>(handle_);
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ != bsClear) return;
    color_ = color;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::Assign(const TPersistent* source) {
    const auto* b = dynamic_cast<const TBrush*>(source);
    if (!b) {
        TGraphicsObject::Assign(source);
        return;
    }
    color_ = b->color_;
    style_ = b->style_;
    Changed();
}

}  // namespace vcl
