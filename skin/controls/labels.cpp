#include "skin/controls/labels.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/os/shell_open.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

namespace {

// Set while a label paints, so the font it takes for painting does not start another paint.
bool gPainting = false;

// The default manager while its skin is in force.
TsSkinManager* ActiveSkin() {
    return DefaultManager && DefaultManager->SkinData().Active ? DefaultManager : nullptr;
}

// The skin's GLOBALINFO section, or null.
const TsGeneralData* GlobalInfo(TsSkinManager* m) {
    if (!m) return nullptr;
    const int i = m->ConstData().IndexGLOBALINFO;
    return m->IsValidSkinIndex(i) ? &m->Skin().Sections[size_t(i)] : nullptr;
}

// A colour from the skin, kept out when it is the key colour or already the font's.
void TakeFontColor(TFont* font, uint32_t color) {
    const auto c = static_cast<vcl::TColor>(color);
    if (color != kTransparentKey && font->Color() != c) font->SetColor(c);
}

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

bool TsCustomLabel::TakesSkinColor() const {
    return true;
}

bool TsLabel::TakesSkinColor() const {
    // A label on a frame being designed keeps the colour the designer gave it.
    if (ComponentState().Contains(csDestroying) || !useSkinColor_) return false;
    if (ComponentState().Contains(csDesigning))
        for (TComponent* o = Owner(); o; o = o->Owner())
            if (dynamic_cast<TCustomFrame*>(o)) return false;
    return true;
}

TFont* TsCustomLabel::UpdateFontColor() {
    TsSkinManager* m = ActiveSkin();
    if (!m || !TakesSkinColor()) return Font();
    const int index = GetFontIndex(this, -1, m);
    TakeFontColor(Font(), m->IsValidSkinIndex(index) ? m->Skin().Sections[size_t(index)].FontColor
                                                     : m->GetGlobalFontColor());
    return Font();
}

std::string TsCustomLabel::DrawnText(uint32_t& flags) const {
    std::string text = GetLabelText();
    if ((flags & win::DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text += ' ';
    if (!ShowAccelChar) flags |= win::DT_NOPREFIX;
    flags = DrawTextBiDiModeFlags(flags);
    return text;
}

void TsCustomLabel::DoDrawText(TRect& rect, uint32_t flags) {
    if (Enabled() || !ActiveSkin()) {
        TCustomLabel::DoDrawText(rect, flags);
        return;
    }
    // Disabled under a skin: the font colour faded toward what lies behind the label.
    const std::string text = DrawnText(flags);
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsClear);
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::SetTextColor(
        dc, ControlColorToRGB(BlendTwoColors(ControlColorToRGB(Font()->Color()),
                                             ControlColorToRGB(AskControlBackColor(this)), 0.4)));
    win::RECT box = rect;
    win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);
    rect = box;
    win::SetBkMode(dc, mode);
    c->Refresh();
}

void TsCustomLabel::Paint() {
    if (ComponentState().Contains(csDestroying) || gPainting) return;
    gPainting = true;
    try {
        if (TFont* f = UpdateFontColor(); f != Font() && !f->SameAs(*Font())) Font()->Assign(f);
        TsSkinManager* m = ActiveSkin();
        const int section = m && !skinSection_.empty() ? m->GetSkinIndex(skinSection_) : -1;
        if (m && m->IsValidSkinIndex(section)) {
            TakeFontColor(Font(), m->Skin().Sections[size_t(section)].FontColor);
            // The section behind the text, over what the parent shows at the label's place.
            BackgroundInfo info;
            CacheInfo behind;
            PixelView view;
            if (TWinControl* parent = Parent()) {
                GetParentBackground(info, parent, false);
                BGInfoToCacheInfo(info, behind, view);
            }
            PaintSectionToDC(section, skinSection_, behind, true, 0, TRect(0, 0, Width(), Height()),
                             {Left(), Top()}, Canvas()->Handle(), m);
        }
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
        case SM_ALPHACMD:
            // The skin's colour goes with the skin.
            if (SkinCommandCode(m.WParam) == SKC_REMOVESKIN && DefaultManager &&
                m.LParam == reinterpret_cast<intptr_t>(DefaultManager) &&
                !ComponentState().Contains(csDestroying) && TakesSkinColor() &&
                Font()->Color() != clWindowText)
                Font()->SetColor(clWindowText);
            else if (SkinCommandCode(m.WParam) == SKC_REFRESH &&
                     ComponentState().Contains(csDesigning))
                Invalidate();
            TCustomLabel::Dispatch(m);
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
      hoverFont_(std::make_unique<TFont>()),
      paintFont_(std::make_unique<TFont>()) {
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
    TFont* own = hover ? hoverFont_.get() : normalFont_.get();
    // Under a skin the link takes GLOBALINFO's colours: its top one under the mouse, its bottom
    // one else; a colour the skin leaves unset gives the classic red or blue. The label's own
    // fonts keep their colours for when the skin goes.
    const TsGeneralData* g = UseSkinColor() ? GlobalInfo(ActiveSkin()) : nullptr;
    if (!g) return own;
    const TColor c = hover ? g->TCTop : g->TCBottom;
    paintFont_->Assign(own);
    paintFont_->SetColor(c != TColor(-1) ? c : hover ? TColor(0x0000FF) : TColor(0xFF0000));
    return paintFont_.get();
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
    // The cover depends on nothing else: a label painted again keeps the one it has.
    if (!shadowKey_.Changed(text, w, h, flags, blur, distance, marginLeading_, FontKey(Font())))
        return;
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
    TsSkinManager* m = ActiveSkin();
    const TsGeneralData* global = GlobalInfo(m);
    // The skin's first shadow when it sets one, else the shadow's own values.
    int blur = shadow_->BlurCount(), distance = shadow_->Distance();
    TColor shade = shadow_->Color();
    if (shadow_->Mode() == smSkin1 && m && m->SkinData().Shadow1Blur != -1) {
        blur = std::max<int>(m->SkinData().Shadow1Blur, 0);
        distance = m->SkinData().Shadow1Offset;
        shade = m->SkinData().Shadow1Color;
    }
    const std::string text = DrawnText(flags);
    // The standard kind writes in the font's colour: the label's own Color is its background.
    TColor ink = kind_->KindType() == ktStandard ? Font()->Color() : kind_->Color();
    if (kind_->KindType() == ktSkin && global && global->TCLeft != TColor(-1)) ink = global->TCLeft;
    TCanvas* c = Canvas();
    win::HDC dc = c->Handle();
    win::SelectObject(dc, Font()->Handle());
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::SetTextColor(dc, ControlColorToRGB(ink));
    auto drawText = [&](TRect& r) {
        win::RECT box = r;
        win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);
        r = box;
    };
    if (!Enabled() && !measuring) {
        // Disabled text is drawn embossed, without a shadow.
        DrawEmbossedText(dc, text, rect, flags);
    } else if (measuring) {
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
        const win::COLORREF sc = ControlColorToRGB(shade);
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
