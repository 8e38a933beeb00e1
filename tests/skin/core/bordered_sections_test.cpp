#include "skin/core/state/bordered_sections.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/dib_dc.h"
#include "tests/skin/core/mask_fixtures.h"
#include "vcl/controls/forms.h"

namespace skin {
namespace {

using namespace skin_test;  // NOLINT
using skin_test::DibDC;

// Paints the mask over the whole bitmap and checks every pixel against the layout (the cases
// here have no overlapping pieces, so the painting order does not matter).
void CheckMaskToDC(const TsMaskData& m, int w, int h, int state, int wl, int wt, int wr, int wb,
                   bool fillCentre, const std::string& what) {
    BitmapOwner target = Target(w, h);
    const TestImage before = Snapshot(target.get());
    PaintMaskToDC(target.get(), nullptr, fillCentre, m, state);
    const int fw = (m.R.Right - m.R.Left) / m.ImageCount;
    const int fh = (m.R.Bottom - m.R.Top) / (m.MaskType + 1);
    const Layout l{{0, 0, w, h}, m.R.Left + std::clamp(state, 0, m.ImageCount - 1) * fw,
                   m.R.Top,      fw,
                   fh,           wl,
                   wt,           wr,
                   wb,           fillCentre && (m.StretchMode & smPaintCentre) != 0};
    ExpectPainted(target.get(), before, ViewOf(m.Manager->MasterBitmap.get()), l, m.MaskType,
                  (m.R.Bottom - m.R.Top) / 2, EmptyCacheInfo, false, what);
}

TEST(MaskToDC, PiecesTileOverTheWholeBitmapInEveryState) {
    for (int type : {0, 1}) {
        SyntheticMask s(3, 22, 16, type, 5, 3, 7, 3);
        s.mask.StretchMode = smNoNormalState | smPaintCentre;  // state 0 is painted all the same
        for (int state : {0, 1, 2, 5}) {
            CheckMaskToDC(s.mask, 37, 20, state, 5, 3, 7, 3, true, "37x20");
            CheckMaskToDC(s.mask, 40, 9, state, 5, 3, 7, 3, false, "40x9 without centre");
        }
    }
}

TEST(MaskToDC, ThreeByThreeWithBordersOfTwoKeepsTwoLeftAndTopAndOneRightAndBottom) {
    SyntheticMask s(1, 6, 6, 0, 2, 2, 2, 2);
    CheckMaskToDC(s.mask, 3, 3, 0, 2, 2, 1, 1, false, "3x3");
    BitmapOwner target = Target(3, 3);
    PaintMaskToDC(target.get(), nullptr, false, s.mask, 0);
    EXPECT_EQ(PixelOf(target.get(), 1, 1), PictureColor(1, 1));
    EXPECT_EQ(PixelOf(target.get(), 2, 2), PictureColor(5, 5));
    // Too small a bitmap, no skin, or a 32-bit bitmap: nothing.
    for (auto [w, h, alpha] : {std::tuple{1, 3, false}, {3, 3, true}}) {
        BitmapOwner t = Target(w, h, alpha);
        PaintMaskToDC(t.get(), nullptr, false, s.mask, 0);
        EXPECT_EQ(PixelOf(t.get(), 0, 0) & 0xFFFFFF, kUnder);
    }
    s.mask.Manager = nullptr;
    PaintMaskToDC(target.get(), nullptr, false, s.mask, 0);
}

// The pixels still inside the region, row by row, as '#' and '.'.
std::string RegionRows(win::HRGN rgn, int w, int h) {
    std::string out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            out += win::PtInRegion(rgn, x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

TEST(MaskToDC, KeyColouredCornersLeaveTheRegionRowByRow) {
    SyntheticMask s(1, 9, 9, 0, 3, 3, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            s.Set(x, y, kTransparentKey);  // the whole top-left corner
    }
    s.Set(8, 8, kTransparentKey);  // one pixel of the bottom-right corner
    s.Set(4, 0, kTransparentKey);  // an edge's key pixels stay in the region
    const win::HRGN rgn = win::CreateRectRgn(0, 0, 8, 6);
    BitmapOwner target = Target(8, 6);
    PaintMaskToDC(target.get(), rgn, false, s.mask, 0);
    EXPECT_EQ(RegionRows(rgn, 8, 6),
              "...#####\n"
              "...#####\n"
              "...#####\n"
              "########\n"
              "########\n"
              "#######.\n");
    EXPECT_EQ(PixelOf(target.get(), 0, 0), kUnder);           // skipped
    EXPECT_EQ(PixelOf(target.get(), 4, 0), kTransparentKey);  // copied as it is
    win::DeleteObject(rgn);
}

TEST(MaskToDC, OverlappingKeyRunsStayCutFromTheRegion) {
    // 5 + 4 into 8: both top corners cover column 4 and hold the key colour there; the
    // top-right corner's run is ended by an opaque pixel, which must not bring column 4 back.
    SyntheticMask s(1, 14, 14, 0, 5, 1, 4, 1);
    for (int x : {0, 1, 2, 3, 4, 10})
        s.Set(x, 0, kTransparentKey);
    const win::HRGN rgn = win::CreateRectRgn(0, 0, 8, 3);
    BitmapOwner target = Target(8, 3);
    PaintMaskToDC(target.get(), rgn, false, s.mask, 0);
    EXPECT_EQ(RegionRows(rgn, 8, 3), ".....###\n########\n########\n");
    win::DeleteObject(rgn);
}

TEST(TransparentCopy, PiecesAreClippedToBothPicturesAndMaskedOnesMixByTheirMask) {
    SyntheticMask s(1, 6, 4, 1, 0, 0, 0, 0);
    s.Set(1, 0, kTransparentKey);
    TestImage t(5, 5, 3);
    t.fill(kUnder);
    // A key pixel is mixed like any other without `transparent`.
    CopyTransparent24({0, 0, 2, 0}, false, s.mask, nullptr, t, {0, 0, 2, 0});
    const TColor m = MaskColor(1, 4);
    auto mix = [](int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; };
    EXPECT_EQ(t.get(1, 0),
              RGB(mix(1, 255, RedOf(m)), mix(2, 0, GreenOf(m)), mix(3, 255, BlueOf(m))));
    // Source rows without mask rows below them, and columns past the target, are left out.
    TestImage tall(5, 8, 3);
    tall.fill(kUnder);
    CopyTransparent24({3, 3, 9, 9}, true, s.mask, nullptr, tall, {0, 2, 6, 8});
    const TColor p = PictureColor(1, 3), pm = MaskColor(1, 7);
    EXPECT_EQ(tall.get(4, 4), RGB(mix(1, RedOf(p), RedOf(pm)), mix(2, GreenOf(p), GreenOf(pm)),
                                  mix(3, BlueOf(p), BlueOf(pm))));
    EXPECT_EQ(tall.get(3, 5), kUnder);
    EXPECT_EQ(tall.get(2, 3), kUnder);
    // A negative target coordinate, or a 32-bit target, paints nothing.
    TestImage u(4, 4, 3), v(4, 4, 4);
    CopyTransparent24({-1, 0, 2, 2}, false, s.mask, nullptr, u, {0, 0, 3, 3});
    CopyTransparent24({0, 0, 2, 2}, false, s.mask, nullptr, v, {0, 0, 3, 3});
    EXPECT_EQ(u.get(0, 0), 0u);
    EXPECT_EQ(v.get(0, 0), 0u);
}

// A panel's skin state over a manager with one section, with or without a border mask.
class SectionWithBorders : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        manager.reset(new TsSkinManager(nullptr));
        TsGeneralData& section = manager->Sections().emplace_back();
        section.SectionName = "PANEL";
        section.Color = section.HotColor = kColor;
        manager->Skin().MasterBitmap.reset(NewBitmap24(12, 12));
        const PixelView v = ViewOf(manager->Skin().MasterBitmap.get());
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                uint8_t* p = v.At(x, y);
                p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 7;
            }
        }
        manager->Skin().Reindex();
    }
    void TearDown() override {
        manager.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    void Mask(int type) {
        TsMaskData& m = manager->Masks().emplace_back();
        m.Manager = &manager->Skin();
        m.SectionName = "PANEL", m.PropertyName = "BORDERSMASK";
        m.R = {0, 0, 12, 12}, m.ImageCount = 2, m.MaskType = int16_t(type);
        m.WL = m.WT = m.WR = m.WB = 2;
        manager->Sections()[0].BordersMask = 0;
    }
    std::unique_ptr<TsCommonData> Data(int w, int h) {
        auto d = std::make_unique<TsCommonData>(nullptr, true);
        d->SetSkinManager(manager.get());
        d->SetSkinSection("PANEL");
        d->CacheBmp()->SetSize(w, h);
        return d;
    }
    static constexpr TColor kColor = RGB(200, 100, 50);
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
};

TEST_F(SectionWithBorders, WithoutAMaskOnlyTheFrameBandsAreFilled) {
    auto data = Data(20, 12);
    DibDC dc(20, 12, 24);
    TRect inner{1, 2, 3, 4};
    PaintSectionWithBorders(dc.dc(), {0, 0, 20, 12}, 0, data.get(), 0, inner);
    EXPECT_EQ(inner, TRect(1, 2, 3, 4));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(dc.get(x, y), 0u) << x << "," << y;
    }
    PaintSectionWithBorders(dc.dc(), {0, 0, 20, 12}, 3, data.get(), 0, inner);
    EXPECT_EQ(inner, TRect(1, 2, 3, 4));
    EXPECT_EQ(dc.get(2, 6), kColor);
    EXPECT_EQ(dc.get(17, 11), kColor);
    EXPECT_EQ(dc.get(3, 3), 0u);
}

TEST_F(SectionWithBorders, TheMaskAndASecondFrameGoToTheCacheAndTheFrameToTheDC) {
    Mask(0);
    auto data = Data(20, 12);
    DibDC dc(20, 12, 24);
    TRect inner;
    PaintSectionWithBorders(dc.dc(), {0, 0, 20, 12}, 4, data.get(), 1, inner);
    EXPECT_EQ(inner, TRect(4, 4, 16, 8));
    vcl::TBitmap* cache = data->CacheBmp();
    EXPECT_EQ(PixelOf(cache, 0, 0), RGB(7, 0, 6));  // frame 1's top-left pixel
    EXPECT_EQ(PixelOf(cache, 19, 11), RGB(7, 11, 11));
    EXPECT_EQ(PixelOf(cache, 3, 5), kColor);   // the second frame inside the mask border
    EXPECT_EQ(PixelOf(cache, 4, 5), clWhite);  // a new image is white
    EXPECT_EQ(dc.get(0, 0), RGB(7, 0, 6));
    EXPECT_EQ(dc.get(3, 5), kColor);
    EXPECT_EQ(dc.get(4, 5), 0u);  // inside the frame: not copied
    // A frame wider than half the rectangle collapses the inside to a line.
    PaintSectionWithBorders(dc.dc(), {0, 0, 20, 12}, 8, data.get(), 1, inner);
    EXPECT_EQ(inner, TRect(8, 8, 12, 8));
    PaintSectionWithBorders(dc.dc(), {0, 0, 20, 12}, 30, data.get(), 1, inner);
    EXPECT_EQ(inner, TRect(30, 30, 30, 30));
}

TEST_F(SectionWithBorders, AMaskedBorderWithoutParentStandsOnTheSectionColour) {
    Mask(1);
    auto data = Data(10, 10);
    TRect inner;
    PaintSectionWithBorders(data->CacheBmp()->Canvas()->Handle(), {0, 0, 10, 10}, 0, data.get(), 0,
                            inner);
    EXPECT_EQ(inner, TRect(2, 2, 8, 8));
    // Picture 0, 0 over the section colour, mixed by its mask 6 rows below.
    auto mix = [](int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; };
    EXPECT_EQ(PixelOf(data->CacheBmp(), 0, 0), RGB(mix(200, 7, 7), mix(100, 0, 6), mix(50, 0, 0)));
    EXPECT_EQ(PixelOf(data->CacheBmp(), 5, 5), clWhite);  // the inside is left alone
}

// A parent that answers the background question with a picture when it has one, else with
// its colour.
class TAnsweringParent : public vcl::TWinControl {
public:
    VCL_CLASS(TAnsweringParent, vcl::TWinControl)
    TAnsweringParent() : vcl::TWinControl(nullptr) {}
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_GETBGINFO && picture) {
            auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
            info->BgType = btCache;
            info->Bmp = picture;
            info->Offset = {5, 6};
            return;
        }
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_GETBGCOLOR) {
            m.Result = intptr_t(RGB(9, 8, 7));
            return;
        }
        vcl::TWinControl::WndProc(m);
    }
    vcl::TBitmap* picture = nullptr;
};

// A 10 x 8 section control at 3, 4 of such a parent, whose picture holds its column in blue
// and its row in green.
struct ControlOnParent {
    explicit ControlOnParent(TsSkinManager* manager) : picture(Target(30, 30)) {
        auto* owner = new vcl::TGraphicControl(&parent);
        owner->SetParent(&parent);
        owner->SetBounds(3, 4, 10, 8);
        data = std::make_unique<TsCommonData>(owner, true);
        data->SetSkinManager(manager);
        data->SetSkinSection("PANEL");
        data->InitCacheBmp();
        const PixelView pv = ViewOf(picture.get());
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 30; ++x)
                pv.At(x, y)[0] = uint8_t(x), pv.At(x, y)[1] = uint8_t(y);
        }
        parent.picture = picture.get();
    }
    TAnsweringParent parent;
    std::unique_ptr<TsCommonData> data;
    BitmapOwner picture;
};

TEST_F(SectionWithBorders, ControlCornersShowTheParentsPictureOrColour) {
    Mask(0);
    const PixelView master = ViewOf(manager->Skin().MasterBitmap.get());
    for (auto [x, y] : {std::pair{6, 0}, {11, 11}, {10, 0}}) {  // frame 1: top-left,
        uint8_t* p = master.At(x, y);                           // bottom-right, top-right
        p[0] = p[2] = 255, p[1] = 0;
    }
    ControlOnParent c(manager.get());
    TsCommonData& data = *c.data;
    PaintCtrlBorderSides(&data, 1, kSideTopLeft | kSideBottomRight);
    // The owner lies at 3, 4 of a parent whose origin lies at 5, 6 of the picture: blue is the
    // picture's column, green its row.
    EXPECT_EQ(PixelOf(data.CacheBmp(), 0, 0), RGB(1, 10, 8));
    EXPECT_EQ(PixelOf(data.CacheBmp(), 9, 7), RGB(1, 17, 17));
    EXPECT_EQ(PixelOf(data.CacheBmp(), 8, 0), clWhite);  // top-right was not chosen
    c.parent.picture = nullptr;
    PaintCtrlBorders(&data, 1);
    EXPECT_EQ(PixelOf(data.CacheBmp(), 8, 0), RGB(9, 8, 7));
}

TEST_F(SectionWithBorders, AMaskedBorderStandsOnThePartOfTheParentBehindIt) {
    Mask(1);
    ControlOnParent c(manager.get());
    TsCommonData& data = *c.data;
    TRect inner;
    PaintSectionWithBorders(nullptr, {1, 1, 9, 7}, 0, &data, 0, inner);
    // The inside shows the parent's picture at 5 + 3 + 4, 6 + 4 + 3; the border mixes over it.
    EXPECT_EQ(PixelOf(data.CacheBmp(), 4, 3), RGB(1, 13, 12));
    auto mix = [](int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; };
    EXPECT_EQ(PixelOf(data.CacheBmp(), 2, 1), RGB(mix(1, 7, 7), mix(11, 0, 6), mix(10, 1, 1)));
    EXPECT_EQ(PixelOf(data.CacheBmp(), 0, 0), clWhite);  // outside R
}

TEST_F(SectionWithBorders, RandomFramesMasksAndRectanglesNeverFault) {
    Mask(0);
    std::mt19937 rng(7);
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto field = [&](int small) {
        const int k = in(0, 9);
        return k == 0 ? INT32_MIN : k == 1 ? INT32_MAX : k == 2 ? -in(1, small) : in(0, small);
    };
    ControlOnParent c(manager.get());
    DibDC dc(24, 24, 24);
    for (int round = 0; round < 300; ++round) {
        TsMaskData& m = manager->Masks()[0];
        m.MaskType = int16_t(in(-1, 2));
        m.ImageCount = int16_t(in(-1, 3));
        m.WL = int16_t(in(-3, 20)), m.WT = int16_t(in(-3, 20));
        m.WR = int16_t(in(-3, 20)), m.WB = int16_t(in(-3, 20));
        m.R = {field(14), field(14), field(14), field(14)};
        c.data->BorderIndex = in(-1, 1);
        c.data->CacheBmp()->SetSize(in(0, 20), in(0, 20));
        c.parent.picture = in(0, 1) ? c.picture.get() : nullptr;
        TRect inner;
        PaintSectionWithBorders(in(0, 1) ? dc.dc() : c.data->CacheBmp()->Canvas()->Handle(),
                                {field(24), field(24), field(24), field(24)}, field(30),
                                c.data.get(), field(3), inner);
        PaintCtrlBorderSides(c.data.get(), field(3), in(0, 15));
    }
}

}  // namespace
}  // namespace skin
