// The skinned group box: its frame below the caption's middle, the caption's own section, the
// background it hands its children and the classic look after the skin goes.
#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/group_box.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedGroupBoxTest : public skin_test::SkinnedFormTest {
protected:
    static uint32_t At(TBitmap* b, int x, int y) {
        const uint8_t* px = ViewOf(b).At(x, y);
        return uint32_t(px[0]) << 16 | px[1] << 8 | px[2];  // as COLORREF
    }
};

TEST_F(SkinnedGroupBoxTest, TheFrameStartsBelowTheCaptionsMiddle) {
    form->SetColor(TColor(0x123456));
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 200, 100));
    box->SetCaption("Modem");
    form->Show();
    Pump();
    const TRect cr = box->CaptionRect(10);
    const int middle = cr.Top + cr.Height() / 2;
    // Right of the caption the form shows above the frame's top line, which is the middle row.
    EXPECT_EQ(ScreenPixel(box, 150, middle - 1), win::COLORREF(0x123456));
    EXPECT_NE(ScreenPixel(box, 150, middle), win::COLORREF(0x123456));
    // A negative offset moves the caption up and the frame to the top.
    box->SetCaptionYOffset(-4);
    Pump();
    EXPECT_NE(ScreenPixel(box, 150, 0), win::COLORREF(0x123456));
}

TEST_F(SkinnedGroupBoxTest, TheCaptionSitsOnItsOwnSection) {
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 200, 100));
    box->SetCaption("W");
    form->Show();
    Pump();
    auto captionPixel = [&] {
        box->PrepareCache();
        const TRect cr = box->CaptionRect(10);
        return At(box->SkinData()->CacheBmp(), cr.Left + 1, cr.Top + cr.Height() / 2);
    };
    const uint32_t byDefault = captionPixel();
    box->SetCaptionSkin("CHECKBOX");
    EXPECT_EQ(captionPixel(), byDefault);
    // A section the skin lacks: the caption lies on the box's colour.
    box->SetColor(TColor(0x00C0FF));
    box->SetCaptionSkin("NO SUCH SECTION");
    EXPECT_EQ(captionPixel(), 0x00C0FFu);
    // The children's background is then the box's cache.
    BackgroundInfo info;
    SendSkinCommand(box->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, box->SkinData()->CacheBmp());
}

TEST_F(SkinnedGroupBoxTest, RemovingTheSkinGivesTheClassicBoxBack) {
    manager->SetActive(false);
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 160, 70));
    box->SetCaption("Filter");
    box->SetCaptionYOffset(6);
    form->Show();
    auto pixels = [&] {
        Pump();
        std::vector<win::COLORREF> px;
        for (int y = 0; y < box->Height(); ++y)
            for (int x = 0; x < box->Width(); ++x) px.push_back(ScreenPixel(box, x, y));
        return px;
    };
    const auto classic = pixels();
    manager->SetActive(true);
    EXPECT_NE(pixels(), classic);
    manager->SetActive(false);
    EXPECT_EQ(pixels(), classic);
}

}  // namespace
}  // namespace skin
