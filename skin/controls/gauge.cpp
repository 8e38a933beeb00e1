#include "skin/controls/gauge.h"

#include <climits>
#include <cmath>
#include <numbers>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
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

TsGauge::TsGauge(TComponent* owner)
    : TGraphicControl(owner), skinData_(std::make_unique<TsCommonData>(this, false)) {
    skinData_->COC = 161;
    ControlStyle << csOpaque;
    SetBounds(0, 0, 120, 30);
}

TsGauge::~TsGauge() = default;

void TsGauge::AfterConstruction() {
    TGraphicControl::AfterConstruction();
    skinData_->Loaded();
}

void TsGauge::Loaded() {
    TGraphicControl::Loaded();
    skinData_->Loaded();
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
    progress_ = v;
    if (PercentDone() != before) {
        skinData_->CacheStale = true;
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

void TsGauge::Paint() {
    const int w = Width(), h = Height();
    if (w < 1 || h < 1) return;
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
    auto fill = [percent](int length) { return static_cast<int>(length * (percent * 0.01)); };

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
        case gkPie: {
            c->Brush()->SetColor(Color());
            c->FillRect(in);
            c->Pen()->SetColor(foreColor_);
            c->Brush()->SetColor(backColor_);
            c->Ellipse(in.Left, in.Top, W, H);
            if (percent > 0) {
                c->Brush()->SetColor(foreColor_);
                const int mx = W / 2, my = H / 2;
                const double a = std::numbers::pi * (percent / 50.0 + 0.5);
                win::Pie(c->Handle(), in.Left, in.Top, W, H,
                         static_cast<int>(std::nearbyint(mx * (1 - std::cos(a)))),
                         static_cast<int>(std::nearbyint(my * (1 - std::sin(a)))), mx, 0);
            }
            break;
        }
        case gkNeedle: {
            c->Brush()->SetColor(Color());
            c->FillRect(in);
            c->Pen()->SetColor(foreColor_);
            c->Brush()->SetColor(backColor_);
            win::Pie(c->Handle(), in.Left, in.Top, W, H * 2 - 1, W, H, in.Left, H);
            c->MoveTo(in.Left, H);
            c->LineTo(W, H);
            if (percent > 0) {
                const int mx = W / 2, bottom = H;
                const double a = std::numbers::pi * percent / 100;
                c->MoveTo(w / 2, bottom - 1);
                c->LineTo(static_cast<int>(std::nearbyint(mx * (1 - std::cos(a)))),
                          static_cast<int>(std::nearbyint((bottom - 1) * (1 - std::sin(a)))));
            }
            break;
        }
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
