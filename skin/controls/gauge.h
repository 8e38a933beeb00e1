// TsGauge: a graphic progress indicator (kind 161, section "GAUGE") in five kinds: text only,
// horizontal or vertical bar, pie and needle.
//
// Rules it keeps:
//  1. Progress stays within MinValue..MaxValue: a value outside is moved onto the nearer end.
//  2. MinValue <= MaxValue: a limit written past the other raises EInvalidOperation "Value must
//     be between %d and %d", except while the form loads; a progress outside the new limits
//     is moved onto them.
//  3. The gauge repaints only when the percentage it shows changes; OnChange fires whenever
//     the stored progress changes.
//  4. The percentage is (Progress - MinValue) * 100 / (MaxValue - MinValue), truncated, and 0
//     for an empty range; a length L is filled trunc(L * percent / 100) pixels.
//
// Until a skin is active it paints as the classic gauge: BackColor, the filled part in
// ForeColor, and the text inverted over both.
//
// Skinned, every paint rebuilds the picture: the section over the parent's background, the
// text, the filled part from the progress section with the text again in its colours, and,
// while Animated, a soft light running along the filled part. Nothing is drawn (the control
// keeps its look) only while the background changes or redraw is frozen; a stale picture is
// rebuilt, never shown as a placeholder.
//
// The light: a 22 ms timer moves it from -300 pixels to the end of the bar in steps of
// max(15, round(length / (2222 / 44))) pixels, repainting each step; then it waits until
// 2222 ms of its cycle have passed and starts again. Without a skin the timer stops.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/controls/control_frame.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/edits.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/timer.h"

namespace skin {

enum TsGaugeKind : uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TsGauge : public vcl::TGraphicControl {
public:
    VCL_CLASS_PUBLISHED(TsGauge, vcl::TGraphicControl)
    explicit TsGauge(vcl::TComponent* owner);
    ~TsGauge() override;

    TsCommonData* SkinData() const { return skinData_.get(); }
    int MinValue() const { return minValue_; }
    void SetMinValue(int v);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v);
    int Progress() const { return progress_; }
    void SetProgress(int v);
    TsGaugeKind Kind() const { return kind_; }
    void SetKind(TsGaugeKind kind);
    bool ShowText() const { return showText_; }
    void SetShowText(bool on);
    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& suffix);
    vcl::TColor ForeColor() const { return foreColor_; }
    void SetForeColor(vcl::TColor color);
    vcl::TColor BackColor() const { return backColor_; }
    void SetBackColor(vcl::TColor color);
    vcl::TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(vcl::TBorderStyle style);
    // The section of the filled part ("PROGRESSH" or "PROGRESSV" when empty).
    const std::string& ProgressSkin() const { return progressSkin_; }
    void SetProgressSkin(const std::string& section);
    // The text shows the percentage; off, it shows Progress.
    bool CalcPercents() const { return calcPercents_; }
    void SetCalcPercents(bool on);
    // A light runs along the filled part while a skin is active.
    bool Animated() const { return animated_; }
    void SetAnimated(bool on);
    // Where the light is along the bar, in pixels, and how far its cycle is, in milliseconds.
    int LightPosition() const { return lightPos_; }
    int LightCounter() const { return lightCounter_; }

    int PercentDone() const;
    // The number shown followed by Suffix.
    std::string Text() const;

    vcl::TNotifyEvent OnChange;

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;
    // Rebuilds the skinned picture into the cache (the control must be skinned).
    void PrepareCache();

protected:
    void Paint() override;

private:
    void PaintClassic();
    // The filled part, the text again and the light over the horizontal picture `bmp`.
    void PaintBar(vcl::TBitmap* bmp, int section, const std::string& name);
    void PaintLight(vcl::TBitmap* part, int section, const std::string& name, int fill);
    // The pie or needle over `in`, the classic way (W, H one past the inner rectangle).
    void DrawDial(vcl::TCanvas* c, vcl::TRect in, int W, int H, int percent, bool fill) const;
    void LightStep(vcl::TObject*);
    void StartLight();
    void StopLight();
    void FreeLight();
    int BarLength() const { return kind_ == gkVerticalBar ? Height() : Width(); }

    std::unique_ptr<TsCommonData> skinData_;
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 47;
    TsGaugeKind kind_ = gkHorizontalBar;
    bool showText_ = true;
    std::string suffix_ = "%";
    vcl::TColor foreColor_ = vcl::clBlack;
    vcl::TColor backColor_ = vcl::clWhite;
    vcl::TBorderStyle borderStyle_ = vcl::bsSingle;
    std::string progressSkin_;
    bool calcPercents_ = true;
    bool animated_ = true;
    int lightCounter_ = 2223;  // past the cycle, so the first step starts one
    int lightPos_ = 9999;
    std::unique_ptr<vcl::TTimer, vcl::FreeDeleter> timer_;
    std::unique_ptr<vcl::TBitmap> light_;  // 300 pixels along the bar, as thick as it
    std::unique_ptr<vcl::TBitmap> part_;   // the filled part, kept while its size holds
    LookKey look_;                         // what the cache image was last built from
};

}  // namespace skin
