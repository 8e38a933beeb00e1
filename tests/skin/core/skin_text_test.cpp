#include "skin/core/skin_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/bitmaps.h"
#include "skin/core/blend.h"
#include "skin/core/common_data.h"
#include "skin/core/skin_manager.h"
#include "tests/skin/core/skin_recorders.h"
#include "tests/skin/core/test_image.h"
#include "vcl/controls/forms.h"

namespace skin {
namespace {

using skin_test::TestImage;

// --- the kernel and the blur ---

TEST(GaussKernel, TrimmedSizesFollowTheRadiusAndNeverFallBelowOne) {
    const std::pair<double, int> cases[] = {{1, 2}, {2, 5}, {3, 8}, {5, 14}, {10, 30}, {0.3, 1}};
    for (auto [radius, size] : cases) {
        GaussKernel k;
        MakeGaussKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, size) << "radius " << radius;
        double sum = 0;
        for (int j = -k.Size; j <= k.Size; ++j) {
            sum += k[j];
            EXPECT_FLOAT_EQ(k[j], k[-j]);
        }
        EXPECT_NEAR(sum, 1.0, 1e-5);
        EXPECT_GT(k[0], k[1]);
    }
}

TEST(GaussKernel, RadiusOfZeroOrLessIsTheIdentity) {
    for (double radius : {0.0, -3.0, std::nan("")}) {
        GaussKernel k;
        MakeGaussKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, 0);
        EXPECT_EQ(k[0], 1.0f);
        EXPECT_EQ(k[1], 0.0f);
    }
    std::vector<uint8_t> row{10, 200, 30}, work(3);
    GaussKernel k;
    MakeGaussKernel(k, 0, 255.0, 1.0);
    BlurLine8(row.data(), 2, k, work.data());
    EXPECT_EQ(row, (std::vector<uint8_t>{10, 200, 30}));
}

TEST(GaussKernel, ClampsOfIndexAndValue) {
    EXPECT_EQ(ClampSampleIndex(0, 9, -4), 0);
    EXPECT_EQ(ClampSampleIndex(0, 9, 12), 9);
    EXPECT_EQ(ClampSampleIndex(0, 9, 5), 5);
    EXPECT_EQ(ClampTrunc(0, 255, 254.99), 254);
    EXPECT_EQ(ClampTrunc(0, 255, 255.5), 255);
    EXPECT_EQ(ClampTrunc(0, 255, -0.5), 0);
    EXPECT_EQ(ClampTrunc(0, 255, std::nan("")), 0);
}

std::vector<uint8_t> Blurred(std::vector<uint8_t> row, double radius) {
    GaussKernel k;
    MakeGaussKernel(k, radius, 255.0, 1.0);
    std::vector<uint8_t> work(row.size());
    BlurLine8(row.data(), int(row.size()) - 1, k, work.data());
    return row;
}

TEST(BlurLine8, GivenRowsAndTheirEnds) {
    // An impulse spreads symmetrically; totals are truncated.
    EXPECT_EQ(Blurred({0, 0, 0, 0, 255, 0, 0, 0, 0}, 1),
              (std::vector<uint8_t>{0, 0, 13, 62, 102, 62, 13, 0, 0}));
    // Beyond the ends the end samples repeat.
    EXPECT_EQ(Blurred({0, 0, 0, 0, 255, 255, 255, 255}, 2),
              (std::vector<uint8_t>{9, 25, 56, 101, 153, 198, 229, 245}));
    EXPECT_EQ(Blurred({10, 200, 30, 250, 0, 90}, 1),
              (std::vector<uint8_t>{57, 104, 122, 123, 89, 76}));
    EXPECT_EQ(Blurred({77}, 5), (std::vector<uint8_t>{77}));
}

// Flat lines stay flat for every radius: the single-precision weights must not darken a white
// mask by a step (it would tint the whole glow area).
TEST(BlurLine8, FlatLinesStayFlat) {
    for (double radius : {1.0, 2.0, 3.0, 5.0, 10.0, 20.0}) {
        for (uint8_t v : {uint8_t(1), uint8_t(100), uint8_t(255)}) {
            const std::vector<uint8_t> flat(40, v);
            EXPECT_EQ(Blurred(flat, radius), flat) << "radius " << radius << " value " << int(v);
        }
    }
}

TEST(GaussBlur8, BlursRowsThenColumnsOfEightBitPlanesOnly) {
    TestImage plane(9, 9, 1, 0);
    *plane.at(4, 4) = 255;
    GaussBlur8(plane.view(), 1);
    // Separable: the centre is the row's centre weight times the column's.
    EXPECT_EQ(*plane.at(4, 4), 41);  // trunc(102.67 * 0.4026)
    EXPECT_EQ(*plane.at(3, 4), *plane.at(5, 4));
    EXPECT_EQ(*plane.at(4, 3), *plane.at(4, 5));
    EXPECT_GT(*plane.at(4, 3), 0);
    EXPECT_EQ(*plane.at(0, 0), 0);

    TestImage rgb(4, 4, 3, 0);
    *rgb.at(1, 1) = 255;
    GaussBlur8(rgb.view(), 3);
    EXPECT_EQ(*rgb.at(1, 1), 255);
    EXPECT_EQ(*rgb.at(0, 1), 0);

    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(8, 8));
    GaussBlur8(b.get(), 3);  // not 8-bit: nothing
}

// --- the glow mix ---

TEST(GlowMix, ChannelsMoveTowardTheGlowAndAlphaFalls) {
    TestImage t(3, 1, 4);
    t.set(0, 0, 0xC8'0A0A0A);  // alpha 200, grey 10
    t.set(1, 0, 0xC8'0A0A0A);
    t.set(2, 0, 0xC8'0A0A0A);
    TestImage m(3, 1, 1);
    *m.at(0, 0) = 0, *m.at(1, 0) = 128, *m.at(2, 0) = 255;
    MixGlowMask(t.view(), m.view(), 0, 0, RGB(200, 100, 10));
    // Black mask: the pure glow colour, alpha 200 - 255 floored at 0.
    EXPECT_EQ(t.get(0, 0), 0x00'0A64C8u);
    // 128: G + (P - G) * 128 / 255 toward zero: red 200 - 95, green 100 - 45, blue 10.
    EXPECT_EQ(t.get(1, 0), (uint32_t(200 - 127) << 24) | RGB(105, 55, 10));
    // White: untouched.
    EXPECT_EQ(t.get(2, 0), 0xC8'0A0A0Au);
}

TEST(GlowMix, MaskPlacedByOffsetAndClippedToTheTarget) {
    TestImage t(4, 3, 3);
    t.fill(0xFFFFFF);
    TestImage m(6, 6, 1, 255);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            *m.at(x, y) = 0;
    // Target (0, 0) lies at mask (3, 4): mask columns 3..5, rows 4..5 reach the target.
    MixGlowMask(t.view(), m.view(), 3, 4, 0x112233);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(t.get(x, y), x < 3 && y < 2 ? 0x112233u : 0xFFFFFFu) << x << "," << y;
    // A mask wholly outside, or one to the left and above: nothing reaches outside.
    MixGlowMask(t.view(), m.view(), -10, -10, 0);
    MixGlowMask(t.view(), m.view(), 9, 9, 0);
    EXPECT_EQ(t.get(3, 2), 0xFFFFFFu);
    TestImage grey(4, 3, 1, 7);
    MixGlowMask(grey.view(), m.view(), 0, 0, 0);  // an 8-bit target is left alone
    EXPECT_EQ(*grey.at(0, 0), 7);
}

class GlowTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        target.reset(NewBitmap24(120, 60));
        vcl::TCanvas* c = target->Canvas();
        c->Brush()->SetColor(vcl::clWhite);
        c->FillRect({0, 0, 120, 60});
        c->Font()->SetSize(14);
    }
    // Pixels of the target that are no longer white.
    TRect Touched() {
        TRect box{1000, 1000, -1, -1};
        const PixelView v = ViewOf(target.get());
        for (int y = 0; y < v.Height; ++y)
            for (int x = 0; x < v.Width; ++x) {
                const uint8_t* p = v.At(x, y);
                if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
                box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                       std::max(box.Bottom, y + 1)};
            }
        return box;
    }
    std::unique_ptr<vcl::TBitmap> target;
    BitmapPtr mask;
};

TEST_F(GlowTextTest, MaskIsTheTextRectangleGrownAndGreyAndTheGlowStaysInIt) {
    const TRect r{30, 10, 110, 50};
    DrawGlowText(target.get(), "Ag", r, mask, RGB(0, 0, 255), 5, 15, win::DT_SINGLELINE);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->PixelFormat(), vcl::pf8bit);
    EXPECT_EQ(mask->Width(), 80 + 2 * 9);
    EXPECT_EQ(mask->Height(), 40 + 2 * 9);
    win::RGBQUAD table[256];
    ASSERT_EQ(win::GetDIBColorTable(mask->Canvas()->Handle(), 0, 256, table), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], (win::RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0})) << i;
    // Far from the letters the mask stays white (no tint of the whole area); the glow lies
    // around the text.
    const PixelView m = ViewOf(mask.get());
    EXPECT_EQ(*m.At(m.Width - 1, m.Height - 1), 255);
    EXPECT_EQ(*m.At(m.Width - 1, 0), 255);
    EXPECT_LT(*m.At(0, 0), 255);  // the blur reaches past the margin of s + 4
    const TRect box = Touched();
    EXPECT_GE(box.Left, r.Left - 9);
    EXPECT_GE(box.Top, r.Top - 9);
    EXPECT_LE(box.Right, r.Right + 9);
    EXPECT_LE(box.Bottom, r.Bottom + 9);
    EXPECT_LT(box.Left, r.Left + 2);  // the text starts at the left, its glow just before
    EXPECT_LT(box.Top, r.Top + 2);
    // The glow's colour: blue rises, red and green fall, toward pure blue at the letters.
    const uint8_t* p = ViewOf(target.get()).At(r.Left + 3, (r.Top + r.Bottom) / 2);
    EXPECT_GT(int(p[0]), int(p[2]));
}

TEST_F(GlowTextTest, MaskOfTheSameSizeIsReusedUnchanged) {
    const TRect r{10, 10, 50, 30};
    DrawGlowText(target.get(), "Ag", r, mask, RGB(0, 0, 255), 3, 15, win::DT_SINGLELINE);
    vcl::TBitmap* first = mask.get();
    // A mask made black where it was white proves it is used as it stands.
    const PixelView m = ViewOf(mask.get());
    for (int y = 0; y < m.Height; ++y)
        for (int x = 0; x < m.Width; ++x)
            *m.At(x, y) = 0;
    DrawGlowText(target.get(), "Other text", {60, 30, 100, 50}, mask, RGB(0, 255, 0), 3, 15, 0);
    EXPECT_EQ(mask.get(), first);
    EXPECT_EQ(ViewOf(target.get()).At(58, 28)[1], 255);  // pure green, inside the area
    EXPECT_EQ(ViewOf(target.get()).At(58, 28)[0], 0);
    // Another size is drawn anew in the same bitmap.
    DrawGlowText(target.get(), "Ag", {10, 10, 60, 30}, mask, RGB(0, 0, 255), 3, 15, 0);
    EXPECT_EQ(mask.get(), first);
    EXPECT_EQ(mask->Width(), 50 + 14);
    EXPECT_EQ(*ViewOf(mask.get()).At(0, 0), 255);
}

TEST_F(GlowTextTest, NoGlowForSizeZeroOrOtherFormats) {
    DrawGlowText(target.get(), "Ag", {10, 10, 50, 30}, mask, RGB(0, 0, 255), 0, 15, 0);
    EXPECT_FALSE(mask);
    EXPECT_EQ(Touched().Right, -1);
    target->SetPixelFormat(vcl::pf8bit);
    DrawGlowText(target.get(), "Ag", {10, 10, 50, 30}, mask, RGB(0, 0, 255), 4, 15, 0);
    EXPECT_FALSE(mask);
}

// --- cutting with an ellipsis ---

TEST(CutTextWithEllipsis, FixedWidthMeasurer) {
    auto width = [](std::string_view t) { return int(t.size()) * 7; };
    std::string out = "stale";
    CutTextWithEllipsis(width, "Hello", 35, out);
    EXPECT_EQ(out, "Hello");  // fits exactly
    CutTextWithEllipsis(width, "Hello world", 56, out);
    EXPECT_EQ(out, "Hello...");  // 5 letters and the dots are 56
    CutTextWithEllipsis(width, "Hello world", 55, out);
    EXPECT_EQ(out, "Hell...");
    CutTextWithEllipsis(width, "Hello world", 28, out);
    EXPECT_EQ(out, "H...");
    // Too narrow for one letter and the dots: empty, without dots.
    CutTextWithEllipsis(width, "Hello world", 27, out);
    EXPECT_EQ(out, "");
    CutTextWithEllipsis(width, "Hello", 0, out);
    EXPECT_EQ(out, "");
    CutTextWithEllipsis(width, "", 10, out);
    EXPECT_EQ(out, "");
}

TEST(CutTextWithEllipsis, LongTextMeasuresLittle) {
    int calls = 0;
    auto width = [&](std::string_view t) { return ++calls, int(t.size()); };
    std::string out;
    CutTextWithEllipsis(width, std::string(100000, 'x'), 503, out);
    EXPECT_EQ(out, std::string(500, 'x') + "...");
    EXPECT_LT(calls, 40);
}

TEST(CanvasDrawText, MeasuresAndWritesWithTheCanvasFontAndBrush) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(100, 40));
    vcl::TCanvas* c = b->Canvas();
    c->Brush()->SetColor(vcl::clWhite);
    c->FillRect({0, 0, 100, 40});
    c->Font()->SetSize(12);
    c->Font()->SetColor(vcl::clRed);
    TRect r{5, 5, 5, 5};
    CanvasDrawText(c, "Wide", win::DT_CALCRECT | win::DT_SINGLELINE, r);
    EXPECT_EQ(TPoint(r.Width(), r.Height()), TextSizeOf(c, "Wide"));
    EXPECT_EQ(r.Height(), TextHeightOf(c, "Wide"));
    win::SIZE size{};
    CanvasTextExtent(c, "Wide", size);
    EXPECT_EQ(size.cx, r.Width());
    // Drawn with a clear brush, only red letters land on the white; the box of what changed
    // is the measured one.
    c->Brush()->SetStyle(vcl::bsClear);
    EXPECT_GT(CanvasDrawText(c, "Wide", win::DT_SINGLELINE, r), 0);
    const PixelView v = ViewOf(b.get());
    int red = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint8_t* p = v.At(x, y);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
            red += p[2] == 255 && p[1] == 0 && p[0] == 0;
            outside += x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom;
            EXPECT_EQ(p[0], p[1]);  // a mix of red and white only
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(outside, 0);
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
        sheet.reset(NewBitmap24(80, 60));
        Clear();
        sheet->Canvas()->Font()->SetSize(24);
    }
    void TearDown() override {
        sheet.reset();
        manager.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    void Clear() {
        sheet->Canvas()->Brush()->SetStyle(vcl::bsSolid);
        sheet->Canvas()->Brush()->SetColor(vcl::clWhite);
        sheet->Canvas()->FillRect({0, 0, 80, 60});
    }
    TsGeneralData& Section() { return manager->Sections()[0]; }
    void Draw(bool enabled, int state) {
        Clear();
        DrawSectionText(sheet->Canvas(), "I", enabled, nullptr, state, 0,
                        win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, {0, 0, 80, 60});
    }
    // The box of non-white pixels, and of those of one exact colour.
    TRect Ink(TColor only = clNone) {
        TRect box{1000, 1000, -1, -1};
        const PixelView v = ViewOf(sheet.get());
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

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    skin_test::Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
    std::unique_ptr<vcl::TBitmap> sheet;
};

TEST_F(SectionTextTest, ContoursGoLeftTopRightBottomInTheStateColoursAndMinusOneIsNone) {
    TextContours c = ContoursOf(Section(), false);
    ASSERT_EQ(c.Count, 4);
    const int expected[4][3] = {{1, -1, 0}, {2, 0, -1}, {3, 1, 0}, {4, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c.Passes[i].Color, RGB(expected[i][0], expected[i][0], expected[i][0]));
        EXPECT_EQ(c.Passes[i].DX, expected[i][1]);
        EXPECT_EQ(c.Passes[i].DY, expected[i][2]);
    }
    c = ContoursOf(Section(), true);  // hot: only HOTTCLEFT is set
    ASSERT_EQ(c.Count, 1);
    EXPECT_EQ(c.Passes[0].Color, RGB(5, 5, 5));
    EXPECT_EQ(c.Passes[0].DX, -1);
}

TEST_F(SectionTextTest, EachContourWidensTheInkByOnePixelOnItsSide) {
    TsGeneralData& s = Section();
    const TColor all[4] = {s.TCLeft, s.TCTop, s.TCRight, s.TCBottom};
    s.TCLeft = s.TCTop = s.TCRight = s.TCBottom = TColor(-1);
    Draw(true, 0);
    const TRect plain = Ink();
    ASSERT_GT(plain.Right, plain.Left);
    EXPECT_GT(Ink(s.FontColor).Right, 0);  // the font colour itself is written
    TColor* sides[4] = {&s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom};
    const TRect grown[4] = {{plain.Left - 1, plain.Top, plain.Right, plain.Bottom},
                            {plain.Left, plain.Top - 1, plain.Right, plain.Bottom},
                            {plain.Left, plain.Top, plain.Right + 1, plain.Bottom},
                            {plain.Left, plain.Top, plain.Right, plain.Bottom + 1}};
    for (int i = 0; i < 4; ++i) {
        *sides[i] = all[i];
        Draw(true, 0);
        EXPECT_EQ(Ink(), grown[i]) << "side " << i;
        *sides[i] = TColor(-1);
    }
    // Hot: the hot font colour, the normal one nowhere.
    Draw(true, 1);
    EXPECT_GT(Ink(s.HotFontColor).Right, 0);
    EXPECT_EQ(Ink(s.FontColor).Right, -1);
}

TEST_F(SectionTextTest, DisabledIsFortyPercentFontColourOverTheSectionColourWithoutContours) {
    Draw(false, 0);
    const TColor dim = BlendTwoColors(Section().FontColor, Section().Color, 0.4);
    EXPECT_EQ(dim, RGB(100, 0, 120));
    EXPECT_GT(Ink(dim).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCBottom})
        EXPECT_EQ(Ink(c).Right, -1);
}

TEST_F(SectionTextTest, NothingForEmptyTextOrAnInvalidIndex) {
    Clear();
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
    // The caption written into the control's cache image, which is also the sheet looked at.
    void Write(bool enabled, int state, TRect r = {0, 0, 80, 60}) {
        sheet.reset(NewBitmapLike(data->CacheBmp()));
        vcl::TCanvas* c = data->CacheBmp()->Canvas();
        c->Brush()->SetStyle(vcl::bsSolid);
        c->Brush()->SetColor(vcl::clWhite);
        c->FillRect({0, 0, 80, 60});
        DrawSkinText(c, "I", enabled, state, data.get(),
                     win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, r);
        sheet->Canvas()->Draw(0, 0, data->CacheBmp());
    }
    std::unique_ptr<TestLabel, vcl::FreeDeleter> owner;
    std::unique_ptr<TsCommonData> data;
};

TEST_F(SkinTextTest, EnabledCaptionIsTheSectionTextInTheOwnersFont) {
    Draw(true, 0);
    const TRect section = Ink();
    Write(true, 0);
    EXPECT_EQ(Ink(), section);
    Write(true, 1);
    EXPECT_GT(Ink(Section().HotFontColor).Right, 0);
    EXPECT_EQ(Ink(Section().FontColor).Right, -1);
}

TEST_F(SkinTextTest, DisabledDimsTowardTheSkinsGlobalColour) {
    Write(false, 0);
    const TColor dim = BlendTwoColors(Section().FontColor, manager->GetGlobalColor(), 0.4);
    EXPECT_GT(Ink(dim).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCRight})
        EXPECT_EQ(Ink(c).Right, -1);
}

TEST_F(SkinTextTest, CustomFontKeepsTheOwnersColourWithoutContours) {
    owner->Font()->SetColor(vcl::clBlue);
    data->SetCustomFont(true);
    Write(true, 0);
    EXPECT_GT(Ink(RGB(0, 0, 255)).Right, 0);
    for (TColor c : {Section().FontColor, Section().TCLeft, Section().TCTop})
        EXPECT_EQ(Ink(c).Right, -1);
}

TEST_F(SkinTextTest, WrittenOnlyInsideTheRectangleAndTheClipComesBack) {
    Write(true, 0);
    const TRect full = Ink();
    const TRect half{0, 0, 80, (full.Top + full.Bottom) / 2};
    Write(true, 0, half);
    // The text is placed in the smaller rectangle and cut by it.
    const TRect cut = Ink();
    EXPECT_GE(cut.Top, 0);
    EXPECT_LE(cut.Bottom, half.Bottom);
    // The cache's canvas draws everywhere again.
    vcl::TCanvas* c = data->CacheBmp()->Canvas();
    c->Brush()->SetColor(vcl::clBlack);
    c->FillRect({70, 50, 80, 60});
    EXPECT_EQ(ViewOf(data->CacheBmp()).At(75, 55)[0], 0);
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
    EXPECT_LE(glow.Right, 80);
    EXPECT_GT(Ink(Section().FontColor).Right, 0);  // the letters over their glow
}

TEST_F(SkinTextTest, WebButtonsUnderlineWhenHotAndNothingWithoutState) {
    data->SetSkinSection("WEBBUTTON");
    data->SkinIndex = 0;
    Write(true, 0);
    EXPECT_FALSE(data->CacheBmp()->Canvas()->Font()->Style().Contains(vcl::fsUnderline));
    Write(true, 1);
    EXPECT_TRUE(data->CacheBmp()->Canvas()->Font()->Style().Contains(vcl::fsUnderline));
    Clear();
    DrawSkinText(sheet->Canvas(), "I", true, 0, nullptr, 0, {0, 0, 80, 60});
    EXPECT_EQ(Ink().Right, -1);
}

// A parent whose section gives its font to the labels on it.
class SkinnedPanel : public vcl::TWinControl {
public:
    explicit SkinnedPanel(vcl::TComponent* owner) : vcl::TWinControl(owner), skin(this, false) {}
    void WndProc(vcl::TMessage& m) override {
        if (!CommonWndProc(m, &skin)) vcl::TWinControl::WndProc(m);
    }
    TsCommonData skin;
};

TEST_F(SkinTextTest, SeeThroughLabelsWriteInTheFontOfTheParentThatGivesIt) {
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
    // Its own colours when its section is opaque in that state.
    Section().Transparency = 0;
    Write(true, 0);
    EXPECT_EQ(Ink(panel.FontColor).Right, -1);
    EXPECT_GT(Ink(Section().FontColor).Right, 0);
    owner->SetParent(nullptr);
}

}  // namespace
}  // namespace skin
