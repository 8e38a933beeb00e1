#include "vcl/controls/ext_ctrls.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace vcl {

namespace {

// `width` rings inward from the rectangle's edge: top and left in one colour, bottom and
// right in the other; the rectangle shrinks to what is inside.
void Frame3D(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        c->Brush()->SetColor(topLeft);
        c->FillRect(Rect(r.Left, r.Top, r.Right, r.Top + 1));
        c->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom));
        c->Brush()->SetColor(bottomRight);
        c->FillRect(Rect(r.Left + 1, r.Bottom - 1, r.Right, r.Bottom));
        c->FillRect(Rect(r.Right - 1, r.Top + 1, r.Right, r.Bottom));
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
}

// The colours of a bevel cut: light above and left of a raised one, dark of a lowered one;
// a space is the panel's own colour.
void CutColors(TBevelCut cut, TColor face, TColor& topLeft, TColor& bottomRight) {
    topLeft = cut == bvRaised ? clBtnHighlight : cut == bvLowered ? clBtnShadow : face;
    bottomRight = cut == bvRaised ? clBtnShadow : cut == bvLowered ? clBtnHighlight : face;
}

}  // namespace

// --- TPanel ---

std::vector<TPropInfo> TPanel::Published() {
    using P = TCustomPanel;
    return {Property("BevelInner", &P::BevelInner, &P::SetBevelInner),
            Property("BevelOuter", &P::BevelOuter, &P::SetBevelOuter),
            Property("BevelWidth", &P::BevelWidth, &P::SetBevelWidth),
            Property("BorderWidth", &P::BorderWidth, &P::SetBorderWidth),
            Property("BorderStyle", &P::BorderStyle, &P::SetBorderStyle)};
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                    csOpaque,          csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 41);
    SetAlignment(taCenter);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.ExStyle |= win::WS_EX_CLIENTEDGE;
}

void TCustomPanel::FrameChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel b) {
    if (b == bevelInner_) return;
    bevelInner_ = b;
    FrameChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel b) {
    if (b == bevelOuter_) return;
    bevelOuter_ = b;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth w) {
    if (w == bevelWidth_ || w < 1) return;
    bevelWidth_ = w;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int w) {
    if (w == borderWidth_ || w < 0) return;
    borderWidth_ = w;
    FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomPanel::AdjustClientRect(TRect& r) {
    int64_t sum = borderWidth_;
    if (bevelOuter_ != bvNone) sum += bevelWidth_;
    if (bevelInner_ != bvNone) sum += bevelWidth_;
    // A border as wide as an int leaves no client area rather than overflowing.
    const int inset = int(std::min<int64_t>(sum, 1 << 24));
    r = Rect(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TColor tl, br;
    if (bevelOuter_ != bvNone) {
        CutColors(bevelOuter_, Color(), tl, br);
        Frame3D(c, r, tl, br, bevelWidth_);
    }
    Frame3D(c, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        CutColors(bevelInner_, Color(), tl, br);
        Frame3D(c, r, tl, br, bevelWidth_);
    }
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    const std::string caption = Caption();
    if (caption.empty()) return;
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    win::SetTextColor(dc, ColorToRGB(Font()->Color()));
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::SIZE w{};
    win::GetTextExtentPoint32(dc, "W", 1, &w);
    win::RECT line{r.Left, (r.Top + r.Bottom - w.cy) / 2, r.Right, 0};
    line.bottom = line.top + w.cy;
    static const uint32_t kAlign[] = {win::DT_LEFT, win::DT_RIGHT, win::DT_CENTER};
    win::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &line,
                  win::DT_EXPANDTABS | win::DT_VCENTER | kAlign[Alignment()]);
    win::SetBkMode(dc, mode);
    c->Refresh();
}

void TCustomPanel::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(m);
}

// --- TBevel ---

std::vector<TPropInfo> TBevel::Published() {
    return {Property("Shape", &TBevel::Shape, &TBevel::SetShape),
            Property("Style", &TBevel::Style, &TBevel::SetStyle)};
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    ControlStyle << csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape s) {
    if (s == shape_) return;
    shape_ = s;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle s) {
    if (s == style_) return;
    style_ = s;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    auto fill = [c](TColor color, TRect r) {
        c->Brush()->SetColor(color);
        c->FillRect(r);
    };
    // An outline whose right and bottom sides are at r and b: `a` on the top and left,
    // `z` on the others.
    auto box = [&](TColor a, TColor z, int l, int t, int r, int b) {
        fill(a, Rect(l, t, r, t + 1));
        fill(a, Rect(l, t, l + 1, b + 1));
        fill(z, Rect(r, t, r + 1, b + 1));
        fill(z, Rect(l + 1, b, r + 1, b + 1));
    };
    switch (shape_) {
        case bsBox:
            box(first, second, 0, 0, w - 1, h - 1);
            break;
        case bsFrame:
            // Two outlines one pixel apart: the etched (or embossed) line.
            box(second, second, 1, 1, w - 1, h - 1);
            box(first, first, 0, 0, w - 2, h - 2);
            break;
        case bsTopLine:
            fill(first, Rect(0, 0, w, 1));
            fill(second, Rect(0, 1, w, 2));
            break;
        case bsBottomLine:
            fill(first, Rect(0, h - 2, w, h - 1));
            fill(second, Rect(0, h - 1, w, h));
            break;
        case bsLeftLine:
            fill(first, Rect(0, 0, 1, h));
            fill(second, Rect(1, 0, 2, h));
            break;
        case bsRightLine:
            fill(first, Rect(w - 2, 0, w - 1, h));
            fill(second, Rect(w - 1, 0, w, h));
            break;
        case bsSpacer:
            break;
    }
}

// --- TImage ---

std::vector<TPropInfo> TImage::Published() {
    using I = TCustomImage;
    return {Property("Picture", &I::Picture, &I::SetPicture),
            Property("AutoSize", &I::AutoSize, &I::SetAutoSize),
            Property("Center", &I::Center, &I::SetCenter),
            Property("Stretch", &I::Stretch, &I::SetStretch),
            Property("Transparent", &I::Transparent, &I::SetTransparent)};
}

TCustomImage::TCustomImage(TComponent* owner) : TGraphicControl(owner), picture_(New<TPicture>()) {
    ControlStyle << csReplicatable;
    picture_->OnChange = TNotifyEvent(this, &TCustomImage::PictureChanged);
    SetBounds(0, 0, 105, 105);
}

TCustomImage::~TCustomImage() {
    picture_->OnChange = nullptr;
}

void TCustomImage::SetPicture(TPicture* picture) {
    picture_->Assign(picture);
}

void TCustomImage::SetAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    PictureChanged(nullptr);
}

void TCustomImage::SetCenter(bool on) {
    if (on == center_) return;
    center_ = on;
    PictureChanged(nullptr);
}

void TCustomImage::SetStretch(bool on) {
    if (on == stretch_) return;
    stretch_ = on;
    PictureChanged(nullptr);
}

void TCustomImage::SetTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    PictureChanged(nullptr);
}

TRect TCustomImage::DestRect() const {
    const int pw = picture_->Width(), ph = picture_->Height();
    if (stretch_) return ClientRect();
    if (center_) {
        const int l = (Width() - pw) / 2, t = (Height() - ph) / 2;
        return Rect(l, t, l + pw, t + ph);
    }
    return Rect(0, 0, pw, ph);
}

void TCustomImage::PictureChanged(TObject*) {
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    TGraphic* g = picture_->Graphic();
    if (g) g->SetTransparent(transparent_);
    // Covering itself whole, the picture spares the parent painting underneath.
    const TRect d = DestRect();
    const bool covers = g && !g->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() &&
                        d.Bottom >= Height();
    if (covers)
        ControlStyle << csOpaque;
    else
        ControlStyle >> csOpaque;
    Invalidate();
}

void TCustomImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    Canvas()->StretchDraw(DestRect(), g);
}

// --- TPaintBox ---

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
    ControlStyle << csReplicatable;
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetColor(Color());
    OnPaint(this);
}

}  // namespace vcl
