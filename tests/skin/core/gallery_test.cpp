// A form of one of each control, painted through the internal skin and taken from the headless
// screen. The picture is kept as tests/data/skin/gallery.png for the eye (TESSARY_UPDATE_
// REFERENCE=1 writes it again); the test probes pixels whose value the skin decides exactly.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display/screenshot.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/gallery_controls.h"
#include "tests/skin/core/skin_recorders.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log_);
        manager_.reset(new TsSkinManager(nullptr));
        AddInternalSkin(*manager_->InternalSkins());
        manager_->SetSkinName(InternalSkinName());
    }
    void TearDown() override {
        manager_.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    TColor SectionColor(const char* name) {
        return manager_->Skin().Sections[size_t(manager_->GetSkinIndex(name))].Color;
    }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    skin_test::Log log_;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager_;
};

TEST_F(GalleryTest, EveryControlPaintsThroughTheInternalSkin) {
    ASSERT_TRUE(manager_->SkinData().Active);
    vcl::TForm* form = nullptr;
    vcl::Application()->CreateForm(form);
    skin_test::Gallery g = skin_test::BuildGalleryForm(form, manager_.get(), 640, 400);
    form->Show();
    vcl::Application()->ProcessMessages();
    const win::RECT area{0, 0, 640, 400};
    const display::Rgb shot = display::CaptureScreen(&area);
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 400);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "gallery.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/gallery.png");

    auto at = [&](int x, int y) {
        const unsigned char* p = shot.pixels.data() + (size_t(y) * 640 + size_t(x)) * 3;
        return RGB(p[0], p[1], p[2]);
    };
    // No key colour is left anywhere: masks keep it out of the pieces they copy whole.
    int keyed = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            keyed += at(x, y) == kTransparentKey;
    EXPECT_EQ(keyed, 0);
    // Plain sections show their COLOR inside their borders.
    EXPECT_EQ(at(320, 370), SectionColor("FORM"));
    EXPECT_EQ(at(14, 54 + 40), SectionColor("PANEL"));
    EXPECT_EQ(at(119, 54 + 40), SectionColor("PANEL_LOW"));
    EXPECT_EQ(at(410, 170), SectionColor("EDIT"));
    EXPECT_EQ(at(249, 134), SectionColor("TOOLBAR")) << "between the flat tool buttons";
    // Transparency 100: the low panel shows through the check box over it, the form through
    // the group box.
    EXPECT_EQ(at(115 + 80, 50 + 48), SectionColor("PANEL_LOW"));
    EXPECT_EQ(at(10 + 195, 118 + 3), SectionColor("FORM"));
    // Transparency 40 over the status bar: the divider mixes 40 percent of the bar in.
    const TColor own = SectionColor("DIVIDER"), under = SectionColor("STATUSBAR");
    auto mix = [](uint32_t o, uint32_t p) { return (o * (255 - 102) + p * 102 + 127) >> 8; };
    const TColor divider = RGB(mix(RedOf(own), RedOf(under)), mix(GreenOf(own), GreenOf(under)),
                               mix(BlueOf(own), BlueOf(under)));
    EXPECT_EQ(at(3 + 159, 400 - 25 + 10), divider);
    // Labels draw their text straight over what their parent shows: its colour around and
    // between the letters, no box of another colour.
    const struct {
        int left, top;
        const char* section;
    } labels[] = {{20, 70, "PANEL"}, {125, 70, "PANEL_LOW"}, {430, 120, "FORM"}};
    for (const auto& l : labels) {
        EXPECT_EQ(at(l.left, l.top), SectionColor(l.section)) << l.section;
        int foreign = 0;
        for (int y = l.top; y < l.top + 20; ++y)
            for (int x = l.left; x < l.left + 80; ++x)
                foreign += at(x, y) == clWhite && SectionColor(l.section) != clWhite;
        EXPECT_EQ(foreign, 0) << l.section;
    }
    (void)g;
}

}  // namespace
}  // namespace skin
