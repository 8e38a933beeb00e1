#include "skin/core/data/internal_skin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/gdi/sys_colors.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/color_helpers.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/skin_recorders.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/resources.h"

namespace skin {
namespace {

// The system colours, as the drawing layer gives them.
const TColor kSystemHighlight = win::GetSysColor(win::COLOR_HIGHLIGHT);

using skin_test::PixelOf;

std::string Bytes(vcl::TBitmap* bmp) {
    if (!bmp) return {};
    const PixelView v = ViewOf(bmp);
    std::string out;
    for (int y = 0; y < v.Height; ++y) {
        out.append(reinterpret_cast<const char*>(v.Row(y)), size_t(v.Width * v.BytesPerPixel));
    }
    return out;
}

void ExpectSameSkin(const TsSkinContent& a, const TsSkinContent& b) {
    ASSERT_EQ(a.Sections.size(), b.Sections.size());
    for (size_t i = 0; i < a.Sections.size(); ++i) {
        const TsGeneralData &x = a.Sections[i], &y = b.Sections[i];
        EXPECT_EQ(x.SectionName, y.SectionName);
        EXPECT_EQ(x.ParentClass, y.ParentClass);
        EXPECT_EQ(x.Color, y.Color) << x.SectionName;
        EXPECT_EQ(x.FontColor, y.FontColor) << x.SectionName;
        EXPECT_EQ(x.HotColor, y.HotColor) << x.SectionName;
        EXPECT_EQ(x.HotFontColor, y.HotFontColor) << x.SectionName;
        EXPECT_EQ(x.Transparency, y.Transparency) << x.SectionName;
        EXPECT_EQ(x.GradientData, y.GradientData) << x.SectionName;
        EXPECT_EQ(x.BordersMask, y.BordersMask) << x.SectionName;
        EXPECT_EQ(0, std::memcmp(x.CornerMasks, y.CornerMasks, sizeof x.CornerMasks));
    }
    ASSERT_EQ(a.Masks.size(), b.Masks.size());
    for (size_t i = 0; i < a.Masks.size(); ++i) {
        const TsMaskData &x = a.Masks[i], &y = b.Masks[i];
        EXPECT_EQ(x.SectionName + x.PropertyName, y.SectionName + y.PropertyName);
        EXPECT_EQ(x.R, y.R);
        EXPECT_EQ(x.ImageCount, y.ImageCount);
        EXPECT_EQ(x.MaskType, y.MaskType);
        EXPECT_EQ(x.ImgType, y.ImgType);
        EXPECT_EQ(x.StretchMode, y.StretchMode);
        EXPECT_EQ(x.WL + x.WT * 1000 + x.WR * 1000000, y.WL + y.WT * 1000 + y.WR * 1000000);
        EXPECT_EQ(x.WB, y.WB);
        EXPECT_EQ(Bytes(x.Bmp.get()), Bytes(y.Bmp.get())) << x.PropertyName;
    }
    EXPECT_EQ(a.Patterns.size(), b.Patterns.size());
    EXPECT_EQ(Bytes(a.MasterBitmap.get()), Bytes(b.MasterBitmap.get()));
    EXPECT_EQ(0, std::memcmp(&a.ConstData, &b.ConstData, sizeof a.ConstData));
    EXPECT_EQ(a.SkinData.Version, b.SkinData.Version);
    EXPECT_EQ(a.SkinData.TitleHeight, b.SkinData.TitleHeight);
}

// The internal skin's packed bytes, as the program carries them.
std::string PackedInternalSkin() {
    const auto data = vcl::FindResourceData(vcl::RT_RCDATA, kInternalSkinResource);
    return std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

class InternalSkin : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log);
    }
    void TearDown() override {
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    using ManagerPtr = std::unique_ptr<TsSkinManager, vcl::FreeDeleter>;
    ManagerPtr Manager() {
        ManagerPtr m(new TsSkinManager(nullptr));
        m->SetSkinDirectory(dir.path());
        AddInternalSkin(*m->InternalSkins());
        return m;
    }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    testing_support::TempDir dir;
    skin_test::Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
};

TEST_F(InternalSkin, OneSkinFromThreeSourcesLoadsTheSame) {
    ManagerPtr internal = Manager();
    internal->SetSkinName(InternalSkinName());
    ASSERT_TRUE(internal->SkinData().Active);
    EXPECT_EQ(internal->SkinName(), InternalSkinName());
    EXPECT_TRUE(internal->IsPacked());
    EXPECT_TRUE(neighbours_->messages.empty());  // no version warning either

    // The same bytes as a packed file and as a folder.
    const std::string blob = PackedInternalSkin();
    testing_support::WriteFile(dir / "TopazFile.asz", blob);
    std::unique_ptr<TacSkinConvertor> c;
    ReadPackedSkinFile(dir / "TopazFile.asz", c, true);
    std::filesystem::create_directories(dir / "TopazFolder");
    testing_support::WriteFile(dir / "TopazFolder/Options.dat",
                               std::string(reinterpret_cast<const char*>(c->Options->Memory()),
                                           size_t(c->Options->Size())));
    for (const TacImageItem& f : c->Files) {
        testing_support::WriteFile(
            dir / ("TopazFolder/" + f.Name),
            std::string(reinterpret_cast<const char*>(f.Data->Memory()), size_t(f.Data->Size())));
    }
    ManagerPtr file = Manager();
    file->SetSkinName("TopazFile");
    ManagerPtr folder = Manager();
    folder->SetSkinName("TopazFolder");
    EXPECT_FALSE(folder->IsPacked());
    {
        SCOPED_TRACE("packed file");
        ExpectSameSkin(internal->Skin(), file->Skin());
    }
    {
        SCOPED_TRACE("folder");
        ExpectSameSkin(internal->Skin(), folder->Skin());
    }
    EXPECT_TRUE(neighbours_->messages.empty());
}

TEST_F(InternalSkin, TheLookTheProgramReliesOn) {
    ManagerPtr m = Manager();
    m->SetSkinName("");
    EXPECT_EQ(m->SkinName(), InternalSkinName());  // a name that matches nothing
    const TConstantSkinData& k = m->ConstData();
    EXPECT_GE(k.IndexGLOBALINFO, 0);
    for (const TConstantSection& s : k.ScrollButtons) {
        EXPECT_GE(s.BordersMask, 0);
        EXPECT_GE(s.GlyphMask, 0);
    }
    for (int i : k.CheckBoxes) {
        ASSERT_GE(i, 0);
        // Each box, the small ones of the check lists included, is closed on all four sides:
        // its edge stands as far in from the right and bottom as from the left and top.
        MaskFrame f;
        ASSERT_TRUE(ReadMaskFrame(m->Masks()[size_t(i)], f));
        const auto at = [&](int x, int y) {
            const uint8_t* p = f.Src.At(f.R.Left + x, f.R.Top + y);
            return RGB(p[2], p[1], p[0]);
        };
        const int mx = f.FW / 2, my = f.FH / 2;
        const std::string name = m->Masks()[size_t(i)].PropertyName;
        EXPECT_EQ(at(1, my), at(f.FW - 2, my)) << name;
        EXPECT_EQ(at(mx, 1), at(mx, f.FH - 2)) << name;
        EXPECT_NE(at(1, my), at(f.FW - 1, my)) << name;  // the edge, not the hole around it
    }
    EXPECT_GE(k.ComboButton.BordersMask, 0);
    EXPECT_GE(k.ComboGlyph, 0);
    EXPECT_LT(m->SkinData().Version, 7);
    EXPECT_EQ(m->SkinData().BIKeepHue, 2);
    // Dark text on light surfaces; the highlight is the accent with white text.
    EXPECT_LT(m->GetGlobalFontColor(), 0x404040u);
    EXPECT_EQ(m->GetHighlightFontColor(), 0xFEFEFEu);
    EXPECT_NE(m->GetHighlightColor(), kSystemHighlight);
}

TEST_F(InternalSkin, HueAndSaturationMoveEveryColouredPixelButTheKeptOnes) {
    ManagerPtr plain = Manager();
    plain->SetSkinName(InternalSkinName());
    vcl::TBitmap* original = plain->MasterBitmap();
    const PixelView o = ViewOf(original);
    const int close = plain->GetMaskIndexByNames("GLOBALINFO", "BICONCLOSE");
    const int smallClose = plain->GetMaskIndexByNames("GLOBALINFO", "SICONCLOSE");
    auto kept = [&](int x, int y) {
        for (int i : {close, smallClose}) {
            const TRect& r = plain->Masks()[size_t(i)].R;
            if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
        }
        return false;
    };
    const struct { int hue, saturation; } cases[] = {{120, 0}, {0, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hue);
        ManagerPtr m = Manager();
        m->SetHueOffset(c.hue);
        m->SetSaturation(c.saturation);
        m->SetSkinName(InternalSkinName());
        const PixelView v = ViewOf(m->MasterBitmap());
        ASSERT_EQ(v.Width, o.Width);
        int moved = 0;
        for (int y = 0; y < o.Height; ++y) {
            for (int x = 0; x < o.Width; ++x) {
                const uint32_t before = PixelOf(original, x, y);
                const bool grey =
                    RedOf(before) == GreenOf(before) && GreenOf(before) == BlueOf(before);
                uint32_t expected = before;
                if (before != kTransparentKey && !grey && !(c.hue && kept(x, y))) {
                    expected = c.hue ? ShiftColorHue(c.hue, before)
                                     : ChangeColorSaturation(before, -c.saturation);
                }
                moved += expected != before;
                ASSERT_EQ(PixelOf(m->MasterBitmap(), x, y), expected) << x << "," << y;
            }
        }
        EXPECT_GT(moved, 100);
    }
    // 0 and 0 leave the skin as read: the master bitmap is the picture's own bytes.
    std::unique_ptr<TacSkinConvertor> conv = std::make_unique<TacSkinConvertor>();
    vcl::TStringStream blob(PackedInternalSkin());
    conv->LendPackedData(&blob);
    ExtractPackedSkin(conv);
    const TacImageItem* item = conv->FindImage("MASTER.BMP");
    ASSERT_NE(item, nullptr);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> read(new vcl::TBitmap);
    item->Data->SetPosition(0);
    read->LoadFromStream(item->Data.get());
    EXPECT_EQ(Bytes(read.get()), Bytes(original));
}

}  // namespace
}  // namespace skin
