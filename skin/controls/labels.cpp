#include "skin/controls/labels.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/os/shell_open.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

namespace {

// Set while a label paints, so the font it takes for painting does not start another paint.
bool gPainting = false;

}  // namespace

// --- TsCustomLabel ---

std::vector<TPropInfo> TsCustomLabel::Published() {
    using L = TsCustomLabel;
    return {Property("SkinSection", &L::SkinSection, &L::SetSkinSection),
            Property("AutoSize", &L::AutoSize, &L::SetAutoSize),
            Property("WordWrap", &L::WordWrap, &L::SetWordWrap),
            Property("Transparent", &L::Transparent, &L::SetTransparent),
            Property("Layout", &L::Layout, &L::SetLayout),
            Property("EllipsisPosition", &L::EllipsisPosition, &L::SetEllipsisPosition)};
}

TsCustomLabel::TsCustomLabel(TComponent* owner) : TCustomLabel(owner) {
    SetTransparent(true);
}

void TsCustomLabel::SetSkinSection(const std::string& section) {
    if (section == skinSection_) return;
    skinSection_ = section;
    Invalidate();
}

TFont* TsCustomLabel::UpdateFontColor() {
    return Font();
}

void TsCustomLabel::Paint() {
    if (ComponentState().Contains(csDestroying) || gPainting) return;
    gPainting = true;
    try {
        if (TFont* f = UpdateFontColor(); f != Font() && !f->SameAs(*Font())) Font()->Assign(f);
        TCustomLabel::Paint();
    } catch (...) {
        gPainting = false;
        throw;
    }
    gPainting = false;
}

void TsCustomLabel::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_FONTCHANGED:
            if (ComponentState().Contains(csDestroying) || gPainting) return;
            AdjustBounds();
            Invalidate();
            return;
        case CM_MOUSEENTER:
            if (m.LParam == 0) OnMouseEnter(this);
            TCustomLabel::Dispatch(m);
            return;
        case CM_MOUSELEAVE:
            TCustomLabel::Dispatch(m);
            if (m.LParam == 0) OnMouseLeave(this);
            return;
        default:
            TCustomLabel::Dispatch(m);
            return;
    }
}

// --- TsLabel, TsEditLabel ---

std::vector<TPropInfo> TsLabel::Published() {
    return {Property("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor)};
}

TsEditLabel::TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel)
    : TsLabel(owner), boundLabel_(boundLabel) {}

TsEditLabel::~TsEditLabel() {
    if (boundLabel_) boundLabel_->LabelGone(this);
}

void TsEditLabel::Loaded() {
    TsLabel::Loaded();
    if (boundLabel_) boundLabel_->AlignLabel();
}

// --- TsWebLabel ---

std::vector<TPropInfo> TsWebLabel::Published() {
    using L = TsWebLabel;
    return {Property("Font", &L::NormalFont, &L::SetFont),
            Property("HoverFont", &L::HoverFont, &L::SetHoverFont),
            Property("URL", &L::URL, &L::SetURL),
            Property("ShowMode", &L::ShowMode, &L::SetShowMode)};
}

TsWebLabel::TsWebLabel(TComponent* owner)
    : TsLabel(owner),
      normalFont_(std::make_unique<TFont>()),
      hoverFont_(std::make_unique<TFont>()) {
    normalFont_->Assign(Font());
    hoverFont_->Assign(Font());
    SetCursor(crHandPoint);
}

TsWebLabel::~TsWebLabel() = default;

void TsWebLabel::SetFont(const TFont* font) {
    normalFont_->Assign(font);
    Font()->Assign(font);
    Invalidate();
}

void TsWebLabel::SetHoverFont(const TFont* font) {
    hoverFont_->Assign(font);
    if (mouseOver_) Font()->Assign(font);
}

void TsWebLabel::Loaded() {
    TsLabel::Loaded();
    Font()->Assign(normalFont_.get());
}

TFont* TsWebLabel::UpdateFontColor() {
    const bool hover = mouseOver_ && !ComponentState().Contains(csDesigning);
    return hover ? hoverFont_.get() : normalFont_.get();
}

void TsWebLabel::MouseChanged(bool over) {
    if (over == mouseOver_) return;
    mouseOver_ = over;
    // The font changes size with its look: measured again and repainted.
    Font()->Assign(UpdateFontColor());
    AdjustBounds();
    Invalidate();
}

void TsWebLabel::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            if (m.LParam == 0) MouseChanged(true);
            break;
        case CM_MOUSELEAVE:
            if (m.LParam == 0) MouseChanged(false);
            break;
        case win::WM_ERASEBKGND:
            return;
        default:
            break;
    }
    TsLabel::Dispatch(m);
}

void TsWebLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TsLabel::MouseDown(button, shift, x, y);
    if (button == mbLeft && !url_.empty()) os::ShellOpen(url_);
}

// --- TsShadow, TsKind ---

std::vector<TPropInfo> TsShadow::Published() {
    using S = TsShadow;
    return {Property("Mode", &S::Mode, &S::SetMode), Property("Color", &S::Color, &S::SetColor),
            Property("BlurCount", &S::BlurCount, &S::SetBlurCount),
            Property("Distance", &S::Distance, &S::SetDistance)};
}

TPersistent* TsShadow::GetOwner() const {
    return owner_;
}

void TsShadow::Changed() {
    if (owner_) owner_->ShadowChanged();
}

void TsShadow::SetMode(TsShadowMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

void TsShadow::SetColor(vcl::TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TsShadow::SetBlurCount(int count) {
    count = std::max(count, 0);
    if (count == blurCount_) return;
    blurCount_ = count;
    Changed();
}

void TsShadow::SetDistance(int distance) {
    if (distance == distance_) return;
    distance_ = distance;
    Changed();
}

std::vector<TPropInfo> TsKind::Published() {
    return {Property("KindType", &TsKind::KindType, &TsKind::SetKindType),
            Property("Color", &TsKind::Color, &TsKind::SetColor)};
}

TPersistent* TsKind::GetOwner() const {
    return owner_;
}

void TsKind::SetKindType(TsKindType type) {
    if (type == kindType_) return;
    kindType_ = type;
    if (owner_) owner_->Invalidate();
}

void TsKind::SetColor(vcl::TColor color) {
    if (color == color_) return;
    color_ = color;
    if (owner_) owner_->Invalidate();
}

// --- TsLabelFX ---

std::vector<TPropInfo> TsLabelFX::Published() {
    using L = TsLabelFX;
    return {Property("Shadow", &L::Shadow), Property("Kind", &L::Kind)};
}

TsLabelFX::TsLabelFX(TComponent* owner)
    : TsCustomLabel(owner),
      shadow_(std::make_unique<TsShadow>(this)),
      kind_(std::make_unique<TsKind>(this)) {}

TsLabelFX::~TsLabelFX() = default;

void TsLabelFX::ShadowChanged() {
    AdjustBounds();
    Invalidate();
}

void TsLabelFX::BuildShadow(const std::string& text, const TRect& rect, uint32_t flags, int blur,
                            int distance) {
    const int w = rect.Width(), h = rect.Height();
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(w, h);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clBlack);
    c->FillRect(Rect(0, 0, w, h));
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    win::SetBkMode(dc, win::TRANSPARENT);
    win::SetTextColor(dc, win::RGB(255, 255, 255));
    const int shift = distance - marginLeading_;
    win::RECT box{shift, shift, w + shift, h + shift};
    win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);

    blurWidth_ = w + 2;
    blurHeight_ = h + 2;
    const std::size_t cells = static_cast<std::size_t>(blurWidth_) * blurHeight_;
    if (blur_.size() < cells) blur_.resize(cells * 2);
    std::fill(blur_.begin(), blur_.begin() + static_cast<std::ptrdiff_t>(cells), 0);
    auto cell = [&](int x, int y) -> uint8_t& {
        return blur_[static_cast<std::size_t>(y) * blurWidth_ + x];
    };
    for (int pass = 0; pass < blur; ++pass) {
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = bmp.ScanLine(y);
            for (int x = 0; x < w; ++x)
                if (row[x * 3] | row[x * 3 + 1] | row[x * 3 + 2]) cell(x + 1, y + 1) = 255;
        }
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                cell(x, y) = static_cast<uint8_t>(
                    (cell(x, y - 1) + cell(x, y + 1) + cell(x - 1, y) + cell(x + 1, y)) >> 2);
    }
}

void TsLabelFX::DoDrawText(TRect& rect, uint32_t flags) {
    if (shadow_->Mode() == smNone) {
        TsCustomLabel::DoDrawText(rect, flags);
        return;
    }
    const bool measuring = (flags & win::DT_CALCRECT) != 0;
    // Disabled text is drawn embossed, without a shadow.
    if (!Enabled() && !measuring) {
        TsCustomLabel::DoDrawText(rect, flags);
        return;
    }
    // Without a skin both modes take the shadow's own values.
    const int blur = shadow_->BlurCount(), distance = shadow_->Distance();
    std::string text = GetLabelText();
    if (measuring && (text.empty() || (ShowAccelChar && text == "&"))) text += ' ';
    if (!ShowAccelChar) flags |= win::DT_NOPREFIX;
    TColor ink = kind_->KindType() == ktStandard ? Font()->Color() : kind_->Color();
    TCanvas* c = Canvas();
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::SetTextColor(dc, ColorToRGB(ink));
    auto drawText = [&](TRect& r) {
        win::RECT box = r;
        win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);
        r = box;
    };
    if (measuring) {
        drawText(rect);
        if (blur > 0) {
            marginLeading_ = std::min(0, distance - blur);
            marginTrailing_ = std::max(0, distance + blur);
            const int grow = marginTrailing_ - marginLeading_;
            rect.Right += grow;
            rect.Bottom += grow;
        }
    } else if (blur <= 0 || rect.Width() <= 0 || rect.Height() <= 0) {
        drawText(rect);
    } else {
        marginLeading_ = std::min(0, distance - blur);
        marginTrailing_ = std::max(0, distance + blur);
        BuildShadow(text, rect, flags, blur, distance);
        const int w = rect.Width(), h = rect.Height();
        TBitmap shot;
        shot.SetPixelFormat(pf24bit);
        shot.SetSize(w, h);
        win::HDC sdc = shot.Canvas()->Handle();
        if (Transparent()) {
            win::BitBlt(sdc, 0, 0, w, h, dc, rect.Left, rect.Top, win::SRCCOPY);
        } else {
            shot.Canvas()->Brush()->SetColor(Color());
            shot.Canvas()->FillRect(Rect(0, 0, w, h));
        }
        const win::COLORREF sc = ColorToRGB(shadow_->Color());
        const int sr = win::GetRValue(sc), sg = win::GetGValue(sc), sb = win::GetBValue(sc);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = shot.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                const int a = blur_[static_cast<std::size_t>(y + 1) * blurWidth_ + x + 1];
                if (a == 0) continue;
                uint8_t* px = row + x * 3;
                px[0] = static_cast<uint8_t>((px[0] * (255 - a) + sb * a) >> 8);
                px[1] = static_cast<uint8_t>((px[1] * (255 - a) + sg * a) >> 8);
                px[2] = static_cast<uint8_t>((px[2] * (255 - a) + sr * a) >> 8);
            }
        }
        win::BitBlt(dc, rect.Left, rect.Top, w, h, sdc, 0, 0, win::SRCCOPY);
        TRect r(rect.Left - marginLeading_, rect.Top - marginLeading_, rect.Right - marginLeading_,
                rect.Bottom - marginLeading_);
        drawText(r);
    }
    win::SetBkMode(dc, mode);
    c->Refresh();
}

}  // namespace skin
