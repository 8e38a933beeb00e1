#include "skin/core/state/skin_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/skin_recorders.h"
#include "tests/skin/core/test_image.h"
#include "vcl/controls/forms.h"

namespace skin {
namespace {

using skin_test::TestImage;
using Row = std::vector<uint8_t>;

Row Blurred(Row row, double radius) {
    GaussKernel k;
    MakeGaussKernel(k, radius, 255.0, 1.0);
    Row work(row.size());
    BlurLine8(row.data(), int(row.size()) - 1, k, work.data());
    return row;
}

// The box of the pixels that are not white, or of those of one exact colour.
TRect Ink(vcl::TBitmap* b, TColor only = clNone) {
    TRect box{1000, 1000, -1, -1};
    const PixelView v = ViewOf(b);
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) {
            const uint8_t* p = v.At(x, y);
            const TColor c = RGB(p[2], p[1], p[0]);
            if (c == clWhite || (only != clNone && c != only)) continue;
            box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                   std::max(box.Bottom, y + 1)};
        }
    return box;
}

vcl::TBitmap* WhiteSheet(int w, int h, int fontSize) {
    vcl::TBitmap* b = NewBitmap24(w, h);
    b->Canvas()->Brush()->SetColor(vcl::clWhite);
    b->Canvas()->FillRect({0, 0, w, h});
    b->Canvas()->Font()->SetSize(fontSize);
    return b;
}

// --- the kernel and the blur ---

TEST(GaussKernel, TrimmedSizesAndTheIdentityForRadiusZeroOrLess) {
    for (auto [radius, size] :
         {std::pair{1.0, 2}, {2.0, 5}, {3.0, 8}, {5.0, 14}, {10.0, 30}, {0.3, 1}}) {
        GaussKernel k;
        MakeGaussKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, size) << "radius " << radius;
        double sum = 0;
        for (int j = -k.Size; j <= k.Size; ++j)
            sum += k[j];
        EXPECT_NEAR(sum, 1.0, 1e-5);
        EXPECT_FLOAT_EQ(k[1], k[-1]);
    }
    for (double radius : {0.0, -3.0, std::nan("")}) {
        GaussKernel k;
        MakeGaussKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, 0);
        EXPECT_EQ(k[0], 1.0f);
        EXPECT_EQ(Blurred({10, 200, 30}, radius), (Row{10, 200, 30}));
    }
    EXPECT_EQ(ClampSampleIndex(0, 9, -4), 0);
    EXPECT_EQ(ClampSampleIndex(0, 9, 12), 9);
    EXPECT_EQ(ClampTrunc(0, 255, 254.99), 254);
    EXPECT_EQ(ClampTrunc(0, 255, 255.5), 255);
    EXPECT_EQ(ClampTrunc(0, 255, -0.5), 0);
    EXPECT_EQ(ClampTrunc(0, 255, std::nan("")), 0);
}

TEST(BlurLine8, GivenRowsTheirEndsAndFlatLines) {
    // An impulse spreads symmetrically; totals are truncated; beyond the ends the end samples
    // repeat.
    EXPECT_EQ(Blurred({0, 0, 0, 0, 255, 0, 0, 0, 0}, 1), (Row{0, 0, 13, 62, 102, 62, 13, 0, 0}));
    EXPECT_EQ(Blurred({0, 0, 0, 0, 255, 255, 255, 255}, 2),
              (Row{9, 25, 56, 101, 153, 198, 229, 245}));
    EXPECT_EQ(Blurred({10, 200, 30, 250, 0, 90}, 1), (Row{57, 104, 122, 123, 89, 76}));
    EXPECT_EQ(Blurred({77}, 5), (Row{77}));
    // Flat lines stay flat: the single-precision weights must not darken a white mask by a
    // step (it would tint the whole glow area).
    for (double radius : {1.0, 2.0, 3.0, 5.0, 10.0, 20.0}) {
        for (uint8_t v : {uint8_t(1), uint8_t(100), uint8_t(255)})
            EXPECT_EQ(Blurred(Row(40, v), radius), Row(40, v)) << radius << " " << int(v);
    }
}

TEST(GaussBlur8, RowsThenColumnsOfEightBitPlanesOnly) {
    TestImage plane(9, 9, 1, 0);
    *plane.at(4, 4) = 255;
    GaussBlur8(plane.view(), 1);
    EXPECT_EQ(*plane.at(4, 4), 41);  // trunc(102 * the centre weight)
    EXPECT_EQ(*plane.at(3, 4), *plane.at(5, 4));
    EXPECT_EQ(*plane.at(4, 3), *plane.at(4, 5));
    EXPECT_GT(*plane.at(4, 3), 0);
    EXPECT_EQ(*plane.at(0, 0), 0);
    TestImage rgb(4, 4, 3, 0);
    *rgb.at(1, 1) = 255;
    GaussBlur8(rgb.view(), 3);
    EXPECT_EQ(*rgb.at(1, 1), 255);
    EXPECT_EQ(*rgb.at(0, 1), 0);
}

// --- the glow ---

TEST(GlowMix, ColoursAlphaPlacementAndClipping) {
    TestImage t(3, 1, 4);
    t.fill(0xC8'0A0A0A);  // alpha 200, grey 10
    TestImage m(3, 1, 1);
    *m.at(0, 0) = 0, *m.at(1, 0) = 128, *m.at(2, 0) = 255;
    MixGlowMask(t.view(), m.view(), 0, 0, RGB(200, 100, 10));
    EXPECT_EQ(t.get(0, 0), 0x00'0A64C8u);  // black: the glow colour, alpha 200 - 255 floored
    // 128: G + (P - G) * 128 / 255 toward zero: red 200 - 95, green 100 - 45, blue 10.
    EXPECT_EQ(t.get(1, 0), (uint32_t(200 - 127) << 24) | RGB(105, 55, 10));
    EXPECT_EQ(t.get(2, 0), 0xC8'0A0A0Au);  // white: untouched

    TestImage rgb(4, 3, 3);
    rgb.fill(0xFFFFFF);
    TestImage black(6, 6, 1, 0);
    // Target (0, 0) lies at mask (3, 4): mask columns 3..5 and rows 4..5 reach the target.
    MixGlowMask(rgb.view(), black.view(), 3, 4, 0x112233);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rgb.get(x, y), x < 3 && y < 2 ? 0x112233u : 0xFFFFFFu) << x << "," << y;
    MixGlowMask(rgb.view(), black.view(), -10, -10, 0);  // wholly outside
    MixGlowMask(rgb.view(), black.view(), 9, 9, 0);
    EXPECT_EQ(rgb.get(3, 2), 0xFFFFFFu);
    TestImage grey(4, 3, 1, 7);
    MixGlowMask(grey.view(), black.view(), 0, 0, 0);  // an 8-bit target is left alone
    EXPECT_EQ(*grey.at(0, 0), 7);
}

TEST(GlowText, MaskIsTheTextRectangleGrownGreyAndKeptWhileItsSizeFits) {
    std::unique_ptr<vcl::TBitmap> target(WhiteSheet(120, 60, 14));
    BitmapPtr mask;
    const TRect r{30, 10, 110, 50};
    DrawGlowText(target.get(), "Ag", r, mask, RGB(0, 0, 255), 5, 15, win::DT_SINGLELINE);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->PixelFormat(), vcl::pf8bit);
    EXPECT_EQ(TPoint(mask->Width(), mask->Height()), TPoint(80 + 2 * 9, 40 + 2 * 9));
    win::RGBQUAD table[256];
    ASSERT_EQ(win::GetDIBColorTable(mask->Canvas()->Handle(), 0, 256, table), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], (win::RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0})) << i;
    // Far from the letters the mask stays white; the blur reaches past the margin of s + 4.
    const PixelView m = ViewOf(mask.get());
    EXPECT_EQ(*m.At(m.Width - 1, m.Height - 1), 255);
    EXPECT_EQ(*m.At(m.Width - 1, 0), 255);
    EXPECT_LT(*m.At(0, 0), 255);
    const TRect box = Ink(target.get());
    EXPECT_GE(box.Left, r.Left - 9);
    EXPECT_GE(box.Top, r.Top - 9);
    EXPECT_LE(box.Right, r.Right + 9);
    EXPECT_LE(box.Bottom, r.Bottom + 9);
    EXPECT_LT(box.Left, r.Left);  // the glow just before the first letter
    const uint8_t* p = ViewOf(target.get()).At(r.Left + 3, (r.Top + r.Bottom) / 2);
    EXPECT_GT(int(p[0]), int(p[2]));  // toward blue

    // A mask of the same size is used as it stands: made black, it paints pure glow.
    vcl::TBitmap* first = mask.get();
    for (int y = 0; y < m.Height; ++y)
        std::fill_n(m.Row(y), m.Width, 0);
    DrawGlowText(target.get(), "Other", {10, 2, 90, 42}, mask, RGB(0, 255, 0), 5, 15, 0);
    EXPECT_EQ(mask.get(), first);
    EXPECT_EQ(Ink(target.get(), RGB(0, 255, 0)), (TRect{1, 0, 99, 51}));
    // Another size is drawn anew in the same bitmap.
    DrawGlowText(target.get(), "Ag", {10, 10, 60, 30}, mask, RGB(0, 0, 255), 3, 15, 0);
    EXPECT_EQ(mask.get(), first);
    EXPECT_EQ(mask->Width(), 50 + 14);
    EXPECT_EQ(*ViewOf(mask.get()).At(mask->Width() - 1, 0), 255);
}

TEST(GlowText, NoGlowForSizeZeroHugeRectanglesOrTargetsOfOtherFormats) {
    std::unique_ptr<vcl::TBitmap> target(WhiteSheet(60, 40, 14));
    BitmapPtr mask;
    DrawGlowText(target.get(), "Ag", {10, 10, 50, 30}, mask, RGB(0, 0, 255), 0, 15, 0);
    EXPECT_FALSE(mask);
    EXPECT_EQ(Ink(target.get()).Right, -1);
    // A rectangle no mask can cover, even one whose width overflows.
    DrawGlowText(target.get(), "Ag", {-2000000000, 0, 2000000000, 30}, mask, 0, 4, 15, 0);
    DrawGlowText(target.get(), "Ag", {0, 0, 20000, 20000}, mask, 0, 4, 15, 0);
    EXPECT_FALSE(mask);
    target->SetPixelFormat(vcl::pf8bit);
    DrawGlowText(target.get(), "Ag", {10, 10, 50, 30}, mask, RGB(0, 0, 255), 4, 15, 0);
    EXPECT_FALSE(mask);
}

// --- text helpers ---

TEST(CutTextWithEllipsis, FixedWidthMeasurer) {
    int calls = 0;
    auto width = [&](std::string_view t) { return ++calls, int(t.size()) * 7; };
    auto cut = [&](std::string_view text, int w) {
        std::string out = "stale";
        CutTextWithEllipsis(width, text, w, out);
        return out;
    };
    EXPECT_EQ(cut("Hello", 35), "Hello");  // fits exactly
    EXPECT_EQ(cut("Hello world", 56), "Hello...");
    EXPECT_EQ(cut("Hello world", 55), "Hell...");
    EXPECT_EQ(cut("Hello world", 28), "H...");
    EXPECT_EQ(cut("Hello world", 27), "");  // not even one letter and the dots: no dots
    EXPECT_EQ(cut("Hello", 0), "");
    EXPECT_EQ(cut("", 10), "");
    // A long text is measured a few times, not once per character.
    calls = 0;
    EXPECT_EQ(cut(std::string(100000, 'x'), 7 * 503), std::string(500, 'x') + "...");
    EXPECT_LT(calls, 40);
}

TEST(CanvasDrawText, MeasuresAndWritesWithTheCanvasFontAndBrush) {
    std::unique_ptr<vcl::TBitmap> b(WhiteSheet(100, 40, 12));
    vcl::TCanvas* c = b->Canvas();
    c->Font()->SetColor(vcl::clRed);
    TRect r{5, 5, 5, 5};
    CanvasDrawText(c, "Wide", win::DT_CALCRECT | win::DT_SINGLELINE, r);
    EXPECT_EQ(TPoint(r.Width(), r.Height()), TextSizeOf(c, "Wide"));
    EXPECT_EQ(r.Height(), TextHeightOf(c, "Wide"));
    c->Brush()->SetStyle(vcl::bsClear);
    EXPECT_GT(CanvasDrawText(c, "Wide", win::DT_SINGLELINE, r), 0);
    const TRect ink = Ink(b.get());
    EXPECT_GT(Ink(b.get(), RGB(255, 0, 0)).Right, 0);
    EXPECT_TRUE(ink.Left >= r.Left && ink.Right <= r.Right && ink.Top >= r.Top &&
                ink.Bottom <= r.Bottom);
}


// --- writing in section colours ---

class SectionTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log);
        manager.reset(new TsSkinManager(nullptr));
        TsGeneralData s;
        s.SectionName = "LABEL";
        s.Color = RGB(0, 0, 200);
        s.FontColor = RGB(250, 0, 0);
        s.HotFontColor = RGB(0, 250, 0);
        s.TCLeft = RGB(1, 1, 1), s.TCTop = RGB(2, 2, 2), s.TCRight = RGB(3, 3, 3);
        s.TCBottom = RGB(4, 4, 4);
        s.HotTCLeft = RGB(5, 5, 5);
        manager->Sections().push_back(s);
        sheet.reset(WhiteSheet(80, 60, 24));
    }
    void TearDown() override {
        sheet.reset();
        manager.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    void Clear(vcl::TCanvas* c) {
        c->Brush()->SetStyle(vcl::bsSolid);
        c->Brush()->SetColor(vcl::clWhite);
        c->FillRect({0, 0, 80, 60});
    }
    TsGeneralData& Section() { return manager->Sections()[0]; }
    void Draw(bool enabled, int state) {
        Clear(sheet->Canvas());
        DrawSectionText(sheet->Canvas(), "I", enabled, nullptr, state, 0, kFlags, {0, 0, 80, 60});
    }
    TRect Ink(TColor only = clNone) { return skin::Ink(sheet.get(), only); }
    static constexpr uint32_t kFlags = win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE;

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    skin_test::Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
    std::unique_ptr<vcl::TBitmap> sheet;
};

TEST_F(SectionTextTest, ContoursGoLeftTopRightBottomEachWideningTheInkOnItsSide) {
    TextContours c = ContoursOf(Section(), false);
    ASSERT_EQ(c.Count, 4);
    const int expected[4][3] = {{1, -1, 0}, {2, 0, -1}, {3, 1, 0}, {4, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.Passes[i].Color, RGB(expected[i][0], expected[i][0], expected[i][0]));
        EXPECT_EQ(TPoint(c.Passes[i].DX, c.Passes[i].DY), TPoint(expected[i][1], expected[i][2]));
    }
    c = ContoursOf(Section(), true);  // hot: only HOTTCLEFT is set, -1 is none
    ASSERT_EQ(c.Count, 1);
    EXPECT_EQ(c.Passes[0].Color, RGB(5, 5, 5));

    TsGeneralData& s = Section();
    TColor* sides[4] = {&s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom};
    const TColor all[4] = {s.TCLeft, s.TCTop, s.TCRight, s.TCBottom};
    for (TColor* side : sides)
        *side = TColor(-1);
    Draw(true, 0);
    const TRect p = Ink();
    ASSERT_GT(Ink(s.FontColor).Right, 0);
    const TRect grown[4] = {{p.Left - 1, p.Top, p.Right, p.Bottom},
                            {p.Left, p.Top - 1, p.Right, p.Bottom},
                            {p.Left, p.Top, p.Right + 1, p.Bottom},
                            {p.Left, p.Top, p.Right, p.Bottom + 1}};
    for (int i = 0; i < 4; ++i) {
        *sides[i] = all[i];
        Draw(true, 0);
        EXPECT_EQ(Ink(), grown[i]) << "side " << i;
        *sides[i] = TColor(-1);
    }
    Draw(true, 1);  // hot: the hot font colour, the normal one nowhere
    EXPECT_GT(Ink(s.HotFontColor).Right, 0);
    EXPECT_EQ(Ink(s.FontColor).Right, -1);
}

TEST_F(SectionTextTest, DisabledIsFortyPercentFontColourWithoutContoursAndEmptyIsNothing) {
    Draw(false, 0);
    const TColor dim = BlendTwoColors(Section().FontColor, Section().Color, 0.4);
    EXPECT_EQ(dim, RGB(100, 0, 120));
    EXPECT_GT(Ink(dim).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCBottom})
        EXPECT_EQ(Ink(c).Right, -1);
    Clear(sheet->Canvas());
    DrawSectionText(sheet->Canvas(), "", true, nullptr, 0, 0, 0, {0, 0, 80, 60});
    DrawSectionText(sheet->Canvas(), "I", true, nullptr, 0, 1, 0, {0, 0, 80, 60});
    DrawSectionText(sheet->Canvas(), "I", true, manager.get(), 0, -1, 0, {0, 0, 80, 60});
    EXPECT_EQ(Ink().Right, -1);
    EXPECT_EQ(sheet->Canvas()->Brush()->Style(), vcl::bsClear);
}

// --- a control's caption ---

class TestLabel : public vcl::TGraphicControl {
public:
    explicit TestLabel(vcl::TComponent* owner) : vcl::TGraphicControl(owner) {}
};

// A parent whose section gives its font to the labels on it.
class SkinnedPanel : public vcl::TWinControl {
public:
    explicit SkinnedPanel(vcl::TComponent* owner) : vcl::TWinControl(owner), skin(this, false) {}
    void WndProc(vcl::TMessage& m) override {
        if (!CommonWndProc(m, &skin)) vcl::TWinControl::WndProc(m);
    }
    TsCommonData skin;
};

class SkinTextTest : public SectionTextTest {
protected:
    void SetUp() override {
        SectionTextTest::SetUp();
        owner.reset(new TestLabel(nullptr));
        owner->Font()->SetSize(24);
        data = std::make_unique<TsCommonData>(owner.get(), true);
        data->SkinIndex = 0;
        data->CacheBmp()->SetSize(80, 60);
    }
    void TearDown() override {
        data.reset();
        owner.reset();
        SectionTextTest::TearDown();
    }
    // The caption written into the control's cache image, then copied to the sheet.
    void Write(bool enabled, int state, TRect r = {0, 0, 80, 60}) {
        vcl::TCanvas* c = data->CacheBmp()->Canvas();
        Clear(c);
        DrawSkinText(c, "I", enabled, state, data.get(), kFlags, r);
        sheet->Canvas()->Draw(0, 0, data->CacheBmp());
    }
    std::unique_ptr<TestLabel, vcl::FreeDeleter> owner;
    std::unique_ptr<TsCommonData> data;
};

TEST_F(SkinTextTest, SectionColoursDimmedOrOwnFontColourAndOnlyInsideTheRectangle) {
    Draw(true, 0);
    const TRect section = Ink();
    Write(true, 0);
    EXPECT_EQ(Ink(), section);
    Write(false, 0);  // disabled: toward the skin's global colour, no contours
    EXPECT_GT(Ink(BlendTwoColors(Section().FontColor, manager->GetGlobalColor(), 0.4)).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCRight})
        EXPECT_EQ(Ink(c).Right, -1);
    owner->Font()->SetColor(vcl::clBlue);
    data->SetCustomFont(true);
    Write(true, 0);
    EXPECT_GT(Ink(RGB(0, 0, 255)).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCTop})
        EXPECT_EQ(Ink(c).Right, -1);
    // Cut by the rectangle, and the clip comes back afterwards.
    const TRect half{0, 0, 80, (section.Top + section.Bottom) / 2};
    Write(true, 0, half);
    EXPECT_LE(Ink().Bottom, half.Bottom);
    vcl::TCanvas* c = data->CacheBmp()->Canvas();
    c->Brush()->SetColor(vcl::clBlack);
    c->FillRect({70, 50, 80, 60});
    EXPECT_EQ(ViewOf(data->CacheBmp()).At(75, 55)[0], 0);
    DrawSkinText(c, "I", true, 0, nullptr, 0, {0, 0, 80, 60});  // no skin state: nothing
}

TEST_F(SkinTextTest, GlowOfTheStateGoesIntoTheCacheAroundTheText) {
    Write(true, 1);
    const TRect hot = Ink();
    Write(true, 0);
    const TRect plain = Ink();
    Section().GlowSize = 4;
    Section().GlowColor = RGB(0, 0, 250);
    Write(true, 1);  // hot: HGSIZE 0, no glow
    EXPECT_EQ(Ink(), hot);
    Write(true, 0);
    const TRect glow = Ink();
    EXPECT_LT(glow.Left, plain.Left - 1);
    EXPECT_GT(glow.Bottom, plain.Bottom + 1);
    EXPECT_GT(Ink(Section().FontColor).Right, 0);  // the letters over their glow
}

TEST_F(SkinTextTest, WebButtonsUnderlineWhenHotAndSeeThroughLabelsTakeTheParentsFont) {
    data->SetSkinSection("WEBBUTTON");
    data->SkinIndex = 0;
    Write(true, 0);
    EXPECT_FALSE(data->CacheBmp()->Canvas()->Font()->Style().Contains(vcl::fsUnderline));
    Write(true, 1);
    EXPECT_TRUE(data->CacheBmp()->Canvas()->Font()->Style().Contains(vcl::fsUnderline));

    TsGeneralData panel;
    panel.SectionName = "PANEL";
    panel.GiveOwnFont = true;
    panel.FontColor = RGB(0, 120, 0);
    manager->Sections().push_back(panel);
    auto* form = new vcl::TForm(vcl::Application());
    auto* parent = new SkinnedPanel(form);
    parent->SetParent(form);
    parent->skin.SkinIndex = 1;
    parent->HandleNeeded();  // the label asks its parent through its window
    parent->Font()->SetSize(24);
    owner->SetParent(parent);
    owner->SetParentFont(true);
    Section().Transparency = 50;
    Write(true, 0);
    EXPECT_GT(Ink(panel.FontColor).Right, 0);
    EXPECT_EQ(Ink(Section().FontColor).Right, -1);
    Section().Transparency = 0;  // its own colours where its section is opaque
    Write(true, 0);
    EXPECT_EQ(Ink(panel.FontColor).Right, -1);
    EXPECT_GT(Ink(Section().FontColor).Right, 0);
    owner->SetParent(nullptr);
}

}  // namespace
}  // namespace skin
