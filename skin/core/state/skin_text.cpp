#include "skin/core/state/skin_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"

namespace skin {

namespace {

constexpr TColor kNoContour = TColor(-1);
// One pixel to the left, up, right and down: the order of the contours and of the mask bits.
constexpr int kSideShift[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};

// The canvas's font, font colour and brush in force on its DC while text is written; the DC's
// own objects and modes come back afterwards, so the canvas's bookkeeping stays true.
class CanvasText {
public:
    explicit CanvasText(vcl::TCanvas* canvas) : dc_(canvas->Handle()) {
        oldFont_ = win::SelectObject(dc_, canvas->Font()->Handle());
        oldColor_ = win::SetTextColor(dc_, vcl::ColorToRGB(canvas->Font()->Color()));
        // A caller that made the DC transparent keeps it so: text over a painted background
        // must not bring its brush's box along.
        const bool clear = canvas->Brush()->Style() == vcl::bsClear ||
                           win::GetBkMode(dc_) == win::TRANSPARENT;
        oldMode_ = win::SetBkMode(dc_, clear ? win::TRANSPARENT : win::OPAQUE);
        oldBk_ = win::SetBkColor(dc_, vcl::ColorToRGB(canvas->Brush()->Color()));
    }
    ~CanvasText() {
        win::SetBkColor(dc_, oldBk_);
        win::SetBkMode(dc_, oldMode_);
        win::SetTextColor(dc_, oldColor_);
        win::SelectObject(dc_, oldFont_);
    }
    CanvasText(const CanvasText&) = delete;
    CanvasText& operator=(const CanvasText&) = delete;

    void SetColor(TColor color) { win::SetTextColor(dc_, vcl::ColorToRGB(vcl::TColor(color))); }
    int Write(std::string_view text, TRect r, uint32_t flags) {
        return DrawTextStr(dc_, text, r, flags);
    }

private:
    win::HDC dc_;
    win::HGDIOBJ oldFont_;
    win::COLORREF oldColor_;
    int oldMode_;
    win::COLORREF oldBk_;
};

TRect Moved(TRect r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// The contour passes, then the text itself in the font colour.
void WriteWithContours(CanvasText& out, std::string_view text, const TsGeneralData& s, bool hot,
                       uint32_t flags, uint32_t lastFlags, const TRect& r) {
    const TextContours c = ContoursOf(s, hot);
    for (int i = 0; i < c.Count; ++i) {
        const TextContours::Pass& p = c.Passes[i];
        out.SetColor(p.Color);
        out.Write(text, Moved(r, p.DX, p.DY), flags);
    }
    out.SetColor(hot ? s.HotFontColor : s.FontColor);
    out.Write(text, r, lastFlags);
}

}  // namespace

// --- writing captions ---

TextContours ContoursOf(const TsGeneralData& s, bool hot) {
    const TColor colours[4] = {hot ? s.HotTCLeft : s.TCLeft, hot ? s.HotTCTop : s.TCTop,
                               hot ? s.HotTCRight : s.TCRight, hot ? s.HotTCBottom : s.TCBottom};
    TextContours c;
    for (int i = 0; i < 4; ++i) {
        if (colours[i] != kNoContour)
            c.Passes[c.Count++] = {colours[i], kSideShift[i][0], kSideShift[i][1]};
    }
    return c;
}

namespace {

// Check boxes, radio buttons and group boxes write in their parent's font colours where their
// own section lets the parent show through.
bool TakesParentFont(const TsCommonData* data) {
    return data->COC == 32 || data->COC == 33 || data->COC == 74 ||
           dynamic_cast<vcl::TWinControl*>(data->OwnerControl()) == nullptr;
}

void WriteSkinText(vcl::TCanvas* canvas, std::string_view text, bool enabled, bool hot,
                   TsCommonData* data, TsSkinManager* m, uint32_t flags, const TRect& r) {
    vcl::TControl* owner = data->OwnerControl();
    int index = data->SkinIndex;
    if (owner != nullptr && TakesParentFont(data) && owner->ParentFont() &&
        owner->Parent() != nullptr && m->IsValidSkinIndex(index)) {
        const TsGeneralData& own = m->Sections()[size_t(index)];
        if ((hot ? own.HotTransparency : own.Transparency) > 0)
            index = GetFontIndex(owner, index, m);
    }
    canvas->Brush()->SetStyle(vcl::bsClear);
    if (!m->IsValidSkinIndex(index)) {
        CanvasText(canvas).Write(text, r, flags);
        return;
    }
    const TsGeneralData& s = m->Sections()[size_t(index)];
    const int glowSize = hot ? s.HotGlowSize : s.GlowSize;
    if (data->CacheBmp() != nullptr && glowSize != 0) {
        BitmapPtr mask;
        DrawGlowText(data->CacheBmp(), text, r, mask, hot ? s.HotGlowColor : s.GlowColor, glowSize,
                     15, flags);
    }
    CanvasText out(canvas);
    if (!enabled) {
        out.SetColor(BlendTwoColors(s.FontColor, m->GetGlobalColor(), 0.4));
        out.Write(text, r, flags);
    } else if (data->CustomFont()) {
        out.Write(text, r, flags | win::DT_NOCLIP);
    } else {
        WriteWithContours(out, text, s, hot, flags, flags | win::DT_NOCLIP, r);
    }
}

}  // namespace

void DrawSkinText(vcl::TCanvas* canvas, std::string_view text, bool enabled, int state,
                  TsCommonData* data, uint32_t flags, TRect r) {
    if (canvas == nullptr || data == nullptr) return;
    TsSkinManager* m = data->GetSkinManager();
    if (m == nullptr) return;
    vcl::TFont* font = canvas->Font();
    if (vcl::TControl* owner = data->OwnerControl()) font->Assign(owner->Font());
    if (state != 0 && data->SkinSection() == "WEBBUTTON") {
        vcl::TFontStyles style = font->Style();
        font->SetStyle(style.Include(vcl::fsUnderline));
    }
    const win::HDC dc = canvas->Handle();
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    if (!text.empty()) WriteSkinText(canvas, text, enabled, state != 0, data, m, flags, r);
    win::RestoreDC(dc, saved);
}

void DrawSectionText(vcl::TCanvas* canvas, std::string_view text, bool enabled,
                     TsSkinManager* manager, int state, int skinIndex, uint32_t flags, TRect r) {
    if (canvas == nullptr) return;
    canvas->Brush()->SetStyle(vcl::bsClear);
    TsSkinManager* m = manager != nullptr ? manager : DefaultManager;
    if (text.empty() || DefaultManager == nullptr || m == nullptr ||
        !m->IsValidSkinIndex(skinIndex))
        return;
    const TsGeneralData& s = m->Sections()[size_t(skinIndex)];
    CanvasText out(canvas);
    if (!enabled) {
        out.SetColor(BlendTwoColors(s.FontColor, s.Color, 0.4));
        out.Write(text, r, flags);
        return;
    }
    WriteWithContours(out, text, s, state != 0, flags, flags, r);
}

// --- the glow ---

void SetGreyColorTable(vcl::TBitmap* bmp) {
    win::RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i)
        grey[i] = {win::BYTE(i), win::BYTE(i), win::BYTE(i), 0};
    win::SetDIBColorTable(bmp->Canvas()->Handle(), 0, 256, grey);
}

void MixGlowMask(const PixelView& target, const PixelView& mask, int x, int y, TColor glowColor) {
    const int bpp = target.BytesPerPixel;
    if (target.Empty() || mask.Empty() || mask.BytesPerPixel != 1 || (bpp != 3 && bpp != 4)) return;
    // Mask columns and rows whose target pixel lies inside the target.
    const int x0 = std::max(0, x), x1 = std::min(mask.Width, x + target.Width);
    const int y0 = std::max(0, y), y1 = std::min(mask.Height, y + target.Height);
    const int g[3] = {BlueOf(glowColor), GreenOf(glowColor), RedOf(glowColor)};
    for (int my = y0; my < y1; ++my) {
        const uint8_t* m = mask.Row(my);
        uint8_t* p = target.At(x0 - x, my - y);
        for (int mx = x0; mx < x1; ++mx, p += bpp) {
            const int v = m[mx];
            if (v >= 255) continue;
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(g[c] + (p[c] - g[c]) * v / 255);
            if (bpp == 4) p[3] = uint8_t(std::max(0, p[3] - (255 - v)));
        }
    }
}

void DrawGlowText(vcl::TBitmap* target, std::string_view text, const TRect& r, BitmapPtr& mask,
                  TColor glowColor, int glowSize, uint8_t shiftMask, uint32_t flags) {
    if (target == nullptr || glowSize < 1) return;
    const vcl::TPixelFormat f = target->PixelFormat();
    if (f != vcl::pf24bit && f != vcl::pf32bit) return;
    // The glow size is a byte of the skin; nothing larger is meant.
    const int s = std::min(glowSize, 255);
    const int margin = s + 4;
    const int64_t w = std::max<int64_t>(0, int64_t(r.Right) - r.Left);
    const int64_t h = std::max<int64_t>(0, int64_t(r.Bottom) - r.Top);
    // A rectangle no bitmap can hold gets no glow rather than a failure while painting, and
    // one whose glow misses the target none at all; what is left lies near enough to the
    // target for its offsets to fit.
    if (!BitmapSizeFits(w + 2 * margin, h + 2 * margin)) return;
    if (int64_t(r.Left) - margin >= target->Width() || int64_t(r.Right) + margin <= 0 ||
        int64_t(r.Top) - margin >= target->Height() || int64_t(r.Bottom) + margin <= 0)
        return;
    const int mw = int(w + 2 * margin), mh = int(h + 2 * margin);
    const bool fits =
        mask && mask->PixelFormat() == vcl::pf8bit && mask->Width() == mw && mask->Height() == mh;
    if (!fits) {
        if (!mask) mask.reset(new vcl::TBitmap);
        mask->SetPixelFormat(vcl::pf8bit);
        mask->SetSize(mw, mh);
        SetGreyColorTable(mask.get());
        const PixelView v = ViewOf(mask.get());
        for (int y = 0; y < v.Height; ++y)
            std::memset(v.Row(y), 255, size_t(v.Width));
        vcl::TCanvas* c = mask->Canvas();
        c->Font()->Assign(target->Canvas()->Font());
        c->Font()->SetColor(vcl::clBlack);
        c->Brush()->SetStyle(vcl::bsClear);
        const TRect tr{margin, margin, margin + int(w), margin + int(h)};
        CanvasText out(c);
        for (int i = 0; i < 4; ++i) {
            if (shiftMask & (1 << i))
                out.Write(text, Moved(tr, kSideShift[i][0], kSideShift[i][1]), flags);
        }
        out.Write(text, tr, flags);
        GaussBlur8(v, s);
    }
    MixGlowMask(ViewOf(target), ViewOf(mask.get()), margin - r.Left, margin - r.Top, glowColor);
}

// --- the blur ---

void MakeGaussKernel(GaussKernel& kernel, double radius, double maxData, double granularity) {
    kernel = GaussKernel{};
    constexpr int n = GaussKernel::kMaxSize;
    if (!(radius > 0)) {  // no blur: the identity
        kernel[0] = 1;
        return;
    }
    float sum = 0;
    for (int j = -n; j <= n; ++j) {
        const double q = j / radius;
        kernel[j] = float(std::exp(-q * q / 2));
        sum += kernel[j];
    }
    for (int j = -n; j <= n; ++j)
        kernel[j] /= sum;
    // A weight of data granularity `granularity` cannot move a value of at most `maxData` by
    // half a step: those outer weights go.
    const double dropped = maxData > 0 ? granularity / (2 * maxData) : 0;
    int size = n;
    float outer = 0;
    while (outer < dropped && size > 1) {
        outer += 2 * kernel[size];
        --size;
    }
    kernel.Size = uint8_t(size);
    float kept = 0;
    for (int j = -size; j <= size; ++j)
        kept += kernel[j];
    for (int j = -size; j <= size; ++j)
        kernel[j] /= kept;
}

int ClampSampleIndex(int low, int high, int index) {
    return index < low ? low : index > high ? high : index;
}

int ClampTrunc(int low, int high, double value) {
    if (value > high) return high;
    if (value >= low) return int(value);
    return low;
}

namespace {

// The weights are singles: a flat line's total may come out a hair below its value, which
// truncation would turn into one grey step darker (a white mask would tint the whole glow
// area). The allowance is far below what the trimmed weights may move.
constexpr double kRoundingAllowance = 1.0 / 256;

// Each output's total is summed over n = -size..size in that order, as one line at a time
// would; the loops run across the outputs so that they proceed side by side.
class Blur8 {
public:
    explicit Blur8(const GaussKernel& k) : k_(k) {}

    // line[0..last] in place; samples beyond the ends repeat the end ones.
    void Line(uint8_t* line, int last) {
        const int size = k_.Size;
        padded_.resize(size_t(last) + 1 + 2 * size_t(size));
        for (int i = -size; i <= last + size; ++i)
            padded_[size_t(i + size)] = line[ClampSampleIndex(0, last, i)];
        total_.assign(size_t(last) + 1, 0.0);
        for (int n = -size; n <= size; ++n) {
            const double w = k_[n];
            const double* s = padded_.data() + size - n;  // s[i] is sample i - n
            double* t = total_.data();
            for (int i = 0; i <= last; ++i)
                t[i] += w * s[i];
        }
        for (int i = 0; i <= last; ++i)
            line[i] = uint8_t(ClampTrunc(0, 255, total_[size_t(i)] + kRoundingAllowance));
    }

    // Every column of the plane, row by row: rows y - n are read from a copy.
    void Columns(const PixelView& p) {
        const int size = k_.Size, w = p.Width, last = p.Height - 1;
        copy_.resize(size_t(w) * size_t(p.Height));
        for (int y = 0; y <= last; ++y)
            std::memcpy(&copy_[size_t(y) * w], p.Row(y), size_t(w));
        total_.resize(size_t(w));
        for (int y = 0; y <= last; ++y) {
            std::fill(total_.begin(), total_.end(), 0.0);
            for (int n = -size; n <= size; ++n) {
                const double k = k_[n];
                const uint8_t* s = &copy_[size_t(ClampSampleIndex(0, last, y - n)) * w];
                double* t = total_.data();
                for (int x = 0; x < w; ++x)
                    t[x] += k * s[x];
            }
            uint8_t* out = p.Row(y);
            for (int x = 0; x < w; ++x)
                out[x] = uint8_t(ClampTrunc(0, 255, total_[size_t(x)] + kRoundingAllowance));
        }
    }

private:
    const GaussKernel& k_;
    std::vector<double> padded_, total_;
    std::vector<uint8_t> copy_;
};

}  // namespace

void BlurLine8(uint8_t* line, int last, const GaussKernel& kernel, uint8_t* work) {
    if (line == nullptr || last < 0) return;
    std::memcpy(work, line, size_t(last) + 1);
    Blur8(kernel).Line(work, last);
    std::memcpy(line, work, size_t(last) + 1);
}

void GaussBlur8(const PixelView& plane, double radius) {
    if (plane.Empty() || plane.BytesPerPixel != 1) return;
    GaussKernel k;
    MakeGaussKernel(k, radius, 255.0, 1.0);
    if (k.Size == 0) return;
    Blur8 blur(k);
    for (int y = 0; y < plane.Height; ++y)
        blur.Line(plane.Row(y), plane.Width - 1);
    blur.Columns(plane);
}

void GaussBlur8(vcl::TBitmap* bmp, double radius) {
    if (bmp == nullptr || bmp->HandleType() != vcl::bmDIB || bmp->PixelFormat() != vcl::pf8bit)
        return;
    GaussBlur8(ViewOf(bmp), radius);
}

// --- text helpers ---

void CutTextWithEllipsis(const std::function<int(std::string_view)>& textWidth,
                         std::string_view text, int width, std::string& result) {
    result.clear();
    if (width < 1) return;
    if (textWidth(text) <= width) {
        result.assign(text);
        return;
    }
    // The longest shorter head that fits with the dots; a head's width grows with its length,
    // so halving finds what removing one character at a time would.
    std::string probe;
    auto fits = [&](size_t n) {
        probe.assign(text.substr(0, n));
        probe += "...";
        return textWidth(probe) <= width;
    };
    size_t lo = 0, hi = text.size() - 1;  // heads of lo characters fit (lo 0: nothing left)
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo == 0) return;
    result.assign(text.substr(0, lo));
    result += "...";
}

void CutTextWithEllipsis(vcl::TCanvas* canvas, std::string_view text, int width,
                         std::string& result) {
    CutTextWithEllipsis([canvas](std::string_view t) { return canvas->TextWidth(t); }, text, width,
                        result);
}

int DrawTextStr(win::HDC dc, std::string_view text, TRect& r, uint32_t flags) {
    win::RECT box = r;
    const int h = win::DrawTextA(dc, text.data(), int(text.size()), &box, flags);
    r = box;
    return h;
}

int CanvasDrawText(vcl::TCanvas* canvas, std::string_view text, uint32_t flags, TRect& r) {
    CanvasText out(canvas);
    return DrawTextStr(canvas->Handle(), text, r, flags);
}

TPoint TextSizeOf(vcl::TCanvas* canvas, std::string_view text) {
    const win::SIZE s = canvas->TextExtent(text);
    return {s.cx, s.cy};
}

int TextHeightOf(vcl::TCanvas* canvas, std::string_view text) {
    return canvas->TextHeight(text);
}

void CanvasTextExtent(vcl::TCanvas* canvas, std::string_view text, win::SIZE& size) {
    size = canvas->TextExtent(text);
}

void CanvasTextRect(vcl::TCanvas* canvas, const TRect& r, int x, int y, std::string_view text) {
    canvas->TextRect(r, x, y, text);
}

}  // namespace skin
