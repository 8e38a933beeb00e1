#include "skin/controls/gauge.h"

#include <climits>
#include <cmath>
#include <numbers>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/paint/glyph_layout.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/resources.h"
#include "vcl/system/streams.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsGauge::Published() {
    using G = TsGauge;
    return {Property("Kind", &G::Kind, &G::SetKind),
            Property("CalcPercents", &G::CalcPercents, &G::SetCalcPercents),
            Property("BorderStyle", &G::BorderStyle, &G::SetBorderStyle),
            Property("Animated", &G::Animated, &G::SetAnimated),
            Property("SkinData", &G::SkinData),
            Property("BackColor", &G::BackColor, &G::SetBackColor),
            Property("ForeColor", &G::ForeColor, &G::SetForeColor),
            Property("MinValue", &G::MinValue, &G::SetMinValue),
            Property("MaxValue", &G::MaxValue, &G::SetMaxValue),
            Property("Progress", &G::Progress, &G::SetProgress),
            Property("ProgressSkin", &G::ProgressSkin, &G::SetProgressSkin),
            Property("ShowText", &G::ShowText, &G::SetShowText),
            Property("Suffix", &G::Suffix, &G::SetSuffix)};
}

namespace {

constexpr int kLightLength = 300;  // pixels of the light strip along the bar
constexpr int kLightCycle = 2222;  // milliseconds of one run of the light and its rest
constexpr int kLightTick = 22;

}  // namespace

TsGauge::TsGauge(TComponent* owner)
    : TGraphicControl(owner), skinData_(std::make_unique<TsCommonData>(this, false)) {
    skinData_->COC = 161;
    timer_.reset(New<TTimer>(nullptr));
    timer_->SetEnabled(false);
    timer_->SetInterval(kLightTick);
    timer_->OnTimer = TNotifyEvent(this, &TsGauge::LightStep);
    ControlStyle << csOpaque;
    SetBounds(0, 0, 120, 30);
}

TsGauge::~TsGauge() = default;

void TsGauge::AfterConstruction() {
    TGraphicControl::AfterConstruction();
    skinData_->Loaded();
    // A gauge made in code hears no Loaded: its light starts here.
    if (!ComponentState().Contains(csLoading) && animated_) StartLight();
}

void TsGauge::Loaded() {
    TGraphicControl::Loaded();
    skinData_->Loaded();
    if (animated_) StartLight();
}

void TsGauge::StartLight() {
    if (!ComponentState().Contains(csDesigning) && timer_) timer_->SetEnabled(true);
}

void TsGauge::StopLight() {
    if (timer_) timer_->SetEnabled(false);
}

void TsGauge::FreeLight() {
    light_.reset();
}

void TsGauge::SetAnimated(bool on) {
    animated_ = on;
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading)) return;
    FreeLight();
    if (on)
        StartLight();
    else
        StopLight();
}

int TsGauge::PercentDone() const {
    const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
    if (range == 0) return 0;
    return static_cast<int>((static_cast<int64_t>(progress_) - minValue_) * 100 / range);
}

std::string TsGauge::Text() const {
    return IntToStr(calcPercents_ ? PercentDone() : progress_) + suffix_;
}

void TsGauge::SetProgress(int v) {
    v = std::clamp(v, minValue_, std::max(minValue_, maxValue_));
    if (v == progress_) return;
    const int before = PercentDone();
    const std::string shown = Text();
    progress_ = v;
    // The fill follows the percentage; the text may show Progress itself.
    if (PercentDone() != before || (showText_ && Text() != shown)) {
        // A skin being loaded marks every cache stale itself.
        if (!SkinChanging) skinData_->CacheStale = true;
        Invalidate();
    }
    OnChange(this);
}

void TsGauge::SetMinValue(int v) {
    if (v == minValue_) return;
    if (v > maxValue_ && !ComponentState().Contains(csLoading))
        throw EInvalidOperation(
            Format("Value must be between %d and %d", INT_MIN + 1, maxValue_ - 1));
    minValue_ = v;
    if (progress_ < v) progress_ = v;
    Invalidate();
}

void TsGauge::SetMaxValue(int v) {
    if (v == maxValue_) return;
    if (v < minValue_ && !ComponentState().Contains(csLoading))
        throw EInvalidOperation(Format("Value must be between %d and %d", minValue_ + 1, INT_MAX));
    maxValue_ = v;
    if (progress_ > v) progress_ = v;
    Invalidate();
}

void TsGauge::SetKind(TsGaugeKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    Invalidate();
}

void TsGauge::SetShowText(bool on) {
    if (on == showText_) return;
    showText_ = on;
    Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    Invalidate();
}

void TsGauge::SetBackColor(vcl::TColor color) {
    if (color == backColor_) return;
    backColor_ = color;
    Invalidate();
}

void TsGauge::SetForeColor(vcl::TColor color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    Repaint();
}

void TsGauge::SetProgressSkin(const std::string& section) {
    if (section == progressSkin_) return;
    progressSkin_ = section;
    skinData_->CacheStale = true;
    Repaint();
}

void TsGauge::SetCalcPercents(bool on) {
    if (on == calcPercents_) return;
    calcPercents_ = on;
    skinData_->Invalidate();
}

void TsGauge::SetSuffix(const std::string& suffix) {
    if (suffix == suffix_) return;
    suffix_ = suffix;
    skinData_->Invalidate();
}

void TsGauge::DrawDial(TCanvas* c, TRect in, int W, int H, int percent, bool fill) const {
    if (fill) {
        c->Brush()->SetColor(Color());
        c->FillRect(in);
    }
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(foreColor_);
    c->Brush()->SetColor(backColor_);
    if (kind_ == gkPie) {
        c->Ellipse(in.Left, in.Top, W, H);
        if (percent <= 0) return;
        c->Brush()->SetColor(foreColor_);
        const int mx = W / 2, my = H / 2;
        const double a = std::numbers::pi * (percent / 50.0 + 0.5);
        win::Pie(c->Handle(), in.Left, in.Top, W, H,
                 static_cast<int>(std::nearbyint(mx * (1 - std::cos(a)))),
                 static_cast<int>(std::nearbyint(my * (1 - std::sin(a)))), mx, 0);
        return;
    }
    win::Pie(c->Handle(), in.Left, in.Top, W, H * 2 - 1, W, H, in.Left, H);
    c->MoveTo(in.Left, H);
    c->LineTo(W, H);
    if (percent <= 0) return;
    const int mx = W / 2, bottom = H;
    const double a = std::numbers::pi * percent / 100;
    c->MoveTo(Width() / 2, bottom - 1);
    c->LineTo(static_cast<int>(std::nearbyint(mx * (1 - std::cos(a)))),
              static_cast<int>(std::nearbyint((bottom - 1) * (1 - std::sin(a)))));
}

void TsGauge::Paint() {
    if (Width() < 1 || Height() < 1) return;
    TsCommonData* d = skinData_.get();
    if (!IsSkinnedNow(this, d)) {
        PaintClassic();
        return;
    }
    // While the background changes (its own, or its parent's between updates) or redraw is
    // frozen the gauge keeps its look.
    if (d->GetBGChanged() || RedrawFrozen()) return;
    // Everything the picture is built from is in the key; the skin, the background and the
    // bounds mark the cache stale themselves.
    const bool changed =
        look_.Changed(Text(), PercentDone(), kind_, showText_, Enabled(), progressSkin_,
                      animated_ ? lightPos_ : 0, foreColor_, backColor_, FontKey(Font()));
    if (CacheNeedsBuild(this, d, changed)) PrepareCache();
    PaintCtrlBorders(d, 0);
    win::BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), d->CacheBmp()->Canvas()->Handle(), 0,
                0, win::SRCCOPY);
    Canvas()->Refresh();
}

namespace {

constexpr uint32_t kTextFlags =
    win::DT_SINGLELINE | win::DT_VCENTER | win::DT_NOPREFIX | win::DT_CENTER;

int FillOf(int length, int percent) {
    return static_cast<int>(length * (percent * 0.01));
}

std::unique_ptr<TBitmap> NewBitmap(int w, int h, TPixelFormat format) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(w, h);
    return b;
}

// The picture of the light, `length` x `thickness`, stretched from the program's "ACGL"
// (nearest pixel); rows are cut evenly from a picture thicker than the bar.
std::unique_ptr<TBitmap> MakeLight(int length, int thickness) {
    auto light = NewBitmap(length, thickness, pf32bit);
    const PixelView d = ViewOf(light.get());
    for (int y = 0; y < d.Height; ++y)
        std::fill_n(d.Row(y), size_t(d.Width) * 4, uint8_t(0));
    const auto data = FindResourceData(RT_RCDATA, "ACGL");
    if (data.empty() || d.Empty()) return light;
    TMemoryStream stream;
    stream.Write(data.data(), static_cast<int64_t>(data.size()));
    stream.SetPosition(0);
    std::unique_ptr<TPNGGraphic, FreeDeleter> png(New<TPNGGraphic>());
    try {
        png->LoadFromStream(&stream);
    } catch (const Exception&) {
        return light;  // a damaged picture: no light
    }
    if (png->PixelFormat() != pf32bit) png->SetPixelFormat(pf32bit);
    const PixelView s = ViewOf(png.get());
    if (s.Empty()) return light;
    int top = 0, rows = s.Height;
    if (s.Height > thickness) {
        const int cut = (s.Height - thickness) / 2 + 1;
        if (s.Height - 2 * cut > 0) top = cut, rows = s.Height - 2 * cut;
    }
    for (int y = 0; y < d.Height; ++y) {
        const int sy = top + int(int64_t(y) * rows / d.Height);
        for (int x = 0; x < d.Width; ++x) {
            const int sx = int(int64_t(x) * s.Width / d.Width);
            std::copy_n(s.At(sx, sy), 4, d.At(x, y));
        }
    }
    return light;
}

}  // namespace

void TsGauge::PrepareCache() {
    TsCommonData* d = skinData_.get();
    TsSkinManager* m = d->GetSkinManager();
    const int w = Width(), h = Height();
    PaintSectionIntoCache(this, d, 0, true);
    TBitmap* cache = d->CacheBmp();
    const TRect all(0, 0, w, h);
    const std::string text = Text();
    if (showText_) DrawSkinText(cache->Canvas(), text, Enabled(), 0, d, kTextFlags, all);
    const int percent = PercentDone();

    if (kind_ == gkHorizontalBar || kind_ == gkVerticalBar) {
        const bool vertical = kind_ == gkVerticalBar;
        std::string name = !progressSkin_.empty()   ? progressSkin_
                           : vertical && !animated_ ? "PROGRESSV"
                                                    : "PROGRESSH";
        int section = m ? m->GetSkinIndex(name) : -1;
        if (vertical && name == "PROGRESSV" && m->IsValidSkinIndex(section)) {
            // The vertical section paints upright; its lowest rows show the fill.
            auto bar = NewBitmap(w, h, pf24bit);
            PixelView cv = ViewOf(cache);
            PaintMaskWithBorders(section, name, MakeCacheInfo(&cv, 0, 0), true, 0, all, {0, 0},
                                 bar.get(), m, -1, -1);
            if (showText_)
                DrawSectionText(bar->Canvas(), text, Enabled(), m, 0, section, kTextFlags, all);
            const int fill = std::clamp(FillOf(h, percent), 0, h);
            if (fill > 0)
                win::BitBlt(cache->Canvas()->Handle(), 0, h - fill, w, fill,
                            bar->Canvas()->Handle(), 0, h - fill, win::SRCCOPY);
        } else {
            if (name == "PROGRESSV") name = "PROGRESSH", section = m->GetSkinIndex(name);
            if (!vertical) {
                PaintBar(cache, section, name);
            } else {
                // Painted along a bar lying down, its start at the bottom, and stood up.
                TBitmap* turned = cache;
                RotateBitmap90(turned, true, true);
                std::unique_ptr<TBitmap, FreeDeleter> own(turned);
                PaintBar(turned, section, name);
                RotateBitmap90(turned, false, false);
                own.release();
                own.reset(turned);
                win::BitBlt(cache->Canvas()->Handle(), 0, 0, w, h, turned->Canvas()->Handle(), 0, 0,
                            win::SRCCOPY);
            }
        }
    } else if (kind_ == gkPie || kind_ == gkNeedle) {
        TCanvas* c = cache->Canvas();
        DrawDial(c, all, w + 1, h + 1, percent, false);
    }
    d->CacheStale = false;
}

void TsGauge::PaintBar(TBitmap* bmp, int section, const std::string& name) {
    TsSkinManager* m = skinData_->GetSkinManager();
    const int length = bmp->Width(), thick = bmp->Height();
    const int fill = std::min(FillOf(length, PercentDone()), length);
    if (fill <= 0 || !m || !m->IsValidSkinIndex(section)) return;
    if (!part_ || part_->Width() != fill || part_->Height() != thick)
        part_ = NewBitmap(fill, thick, pf24bit);
    PixelView bv = ViewOf(bmp);
    PaintMaskWithBorders(section, name, MakeCacheInfo(&bv, 0, 0), true, 0, TRect(0, 0, fill, thick),
                         {0, 0}, part_.get(), m, -1, -1);
    // The text again, in the progress section's colours, where the fill covers it; a bar
    // standing up is painted lying down, so there it runs along the bar.
    if (showText_)
        DrawSectionText(part_->Canvas(), Text(), Enabled(), m, 0, section, kTextFlags,
                        TRect(0, 0, length, thick));
    PaintLight(part_.get(), section, name, fill);
    win::BitBlt(bmp->Canvas()->Handle(), 0, 0, fill, thick, part_->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void TsGauge::PaintLight(TBitmap* part, int section, const std::string& name, int fill) {
    if (!animated_ || lightPos_ >= fill + kLightLength) return;
    const int thick = part->Height();
    if (!light_ || light_->Height() != thick) light_ = MakeLight(kLightLength, thick);
    const TRect strip(lightPos_, 0, lightPos_ + kLightLength, thick);
    const TRect shown = IntersectRects(strip, TRect(0, 0, fill, thick));
    if (shown.Right <= shown.Left || shown.Bottom <= shown.Top) return;
    const TRect from(shown.Left - lightPos_, 0, shown.Right - lightPos_, thick);
    // A progress section with an "LRGN" mask shows the light only where the mask is dark.
    TsSkinManager* m = skinData_->GetSkinManager();
    const int region = m->GetMaskIndex(section, name, "LRGN");
    if (m->Skin().IsValidImgIndex(region)) {
        const int w = part->Width();
        auto mask = NewBitmap(w, thick, pf24bit);
        mask->Canvas()->Brush()->SetColor(clWhite);
        mask->Canvas()->FillRect(TRect(0, 0, w, thick));
        PaintMaskIntoRect(mask.get(), TRect(0, 0, fill, thick), true, EmptyCacheInfo,
                          m->Masks()[size_t(region)], 0, false);
        auto strip = NewBitmap(w, thick, pf32bit);  // the light placed along the part
        const PixelView sv = ViewOf(strip.get()), lv = ViewOf(light_.get());
        for (int y = 0; y < sv.Height; ++y)
            std::fill_n(sv.Row(y), size_t(sv.Width) * 4, 0);
        for (int y = 0; y < thick; ++y)
            std::copy_n(lv.At(from.Left, y), size_t(shown.Width()) * 4, sv.At(shown.Left, y));
        DrawAlphaBitmapMasked(ViewOf(part), sv, ViewOf(mask.get()), shown);
        return;
    }
    DrawAlphaBitmap32(shown, from, ViewOf(part), ViewOf(light_.get()), EmptyCacheInfo, false,
                      clNone, 0, false);
}

void TsGauge::LightStep(TObject*) {
    TsCommonData* d = skinData_.get();
    if (!IsSkinnedNow(this, d)) {
        StopLight();
        return;
    }
    if (lightCounter_ > kLightCycle) {
        lightPos_ = -kLightLength;
        lightCounter_ = 0;
    }
    lightCounter_ += kLightTick;
    const int length = BarLength();
    if (length <= lightPos_) return;
    TWinControl* parent = Parent();
    if (Visible() && progress_ >= 1 && parent && parent->HandleAllocated() &&
        win::IsWindowVisible(parent->Handle()))
        Repaint();
    lightPos_ += std::max(
        15, static_cast<int>(std::nearbyint(length / (double(kLightCycle) / (2 * kLightTick)))));
}

void TsGauge::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD) {
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (SkinCommandCode(m.WParam)) {
            case SKC_ENDPARENTUPDATE:
                d->BGChanged = false;
                Repaint();
                return;
            case SKC_NEWSKIN:
                if (!own) break;
                CommonWndProc(m, d);
                return;
            case SKC_REMOVESKIN:
                if (!own) break;
                if (animated_) StopLight();
                FreeLight();
                CommonWndProc(m, d);
                Repaint();
                return;
            case SKC_REFRESH:
                if (!own) break;
                FreeLight();
                CommonWndProc(m, d);
                Repaint();
                if (animated_) StartLight();
                return;
            default:
                break;
        }
    }
    if (IsSkinnedNow(this, d)) {
        if (m.Msg == win::WM_ERASEBKGND) return;
        if (m.Msg == win::WM_WINDOWPOSCHANGED || m.Msg == win::WM_SIZE) d->CacheStale = true;
        if (CommonWndProc(m, d)) return;
    }
    TGraphicControl::WndProc(m);
}

void TsGauge::PaintClassic() {
    const int w = Width(), h = Height();
    auto layer = [w, h] {
        auto b = std::make_unique<TBitmap>();
        b->SetPixelFormat(pf24bit);
        b->SetSize(w, h);
        b->Canvas()->Brush()->SetColor(clBlack);
        b->Canvas()->FillRect(Rect(0, 0, w, h));
        return b;
    };
    auto image = layer();
    TRect in = ClientRect();
    if (borderStyle_ == bsSingle) in = Rect(in.Left + 1, in.Top + 1, in.Right - 1, in.Bottom - 1);
    const int W = in.Width() + 1, H = in.Height() + 1;  // the classic gauge's own sizes
    const int percent = PercentDone();
    auto fill = [percent](int length) { return FillOf(length, percent); };

    auto face = layer();
    TCanvas* c = face->Canvas();
    c->Pen()->SetWidth(1);
    switch (kind_) {
        case gkText:
            c->Brush()->SetColor(backColor_);
            c->FillRect(in);
            break;
        case gkHorizontalBar:
        case gkVerticalBar: {
            c->Brush()->SetColor(backColor_);
            c->FillRect(in);
            c->Pen()->SetColor(foreColor_);
            c->Brush()->SetColor(foreColor_);
            if (kind_ == gkHorizontalBar) {
                const int f = std::min(fill(W), W);
                if (f > 0) c->Rectangle(in.Left, in.Top, f, H);
            } else {
                const int f = std::min(fill(H), H - 1);
                if (f > 0) c->Rectangle(in.Left, H - f, W, H);
            }
            break;
        }
        case gkPie:
        case gkNeedle:
            DrawDial(c, in, W, H, percent, true);
            break;
    }
    win::BitBlt(image->Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, win::SRCINVERT);

    if (showText_) {
        auto text = layer();
        TCanvas* t = text->Canvas();
        t->SetFont(Font());
        t->Font()->SetColor(clWhite);
        t->Brush()->SetStyle(bsClear);
        const std::string s = Text();
        const win::SIZE size = t->TextExtent(s);
        t->TextOut((W - size.cx) / 2, (H - size.cy) / 2, s);
        win::BitBlt(image->Canvas()->Handle(), 0, 0, w, h, t->Handle(), 0, 0, win::SRCINVERT);
    }
    Canvas()->Draw(0, 0, image.get());
}

}  // namespace skin
