// The skinned bevel: the strips each shape shows, and the section its shape chooses.
#include <gtest/gtest.h>

#include "skin/controls/bevel.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedBevelTest : public skin_test::SkinnedFormTest {};

TEST_F(SkinnedBevelTest, EachShapeShowsItsStripsOfTheCache) {
    auto* bevel = Place<TsBevel>(form, Bounds(20, 20, 40, 50));
    form->Show();
    Pump();
    struct Case {
        TBevelShape shape;
        TPoint shown, hidden;
    } cases[] = {{bsBox, {1, 25}, {20, 25}},      {bsRightLine, {38, 25}, {1, 25}},
                 {bsRightLine, {38, 25}, {38, 1}}, {bsTopLine, {20, 1}, {1, 1}},
                 {bsBottomLine, {20, 48}, {20, 1}}, {bsLeftLine, {1, 25}, {38, 25}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.shape));
        bevel->SetShape(c.shape);
        bevel->PrepareCache();
        TBitmap* cache = bevel->SkinData()->CacheBmp();
        TBitmap* shot = Shot(bevel);  // the green of the shot stays where nothing is copied
        auto at = [](TBitmap* b, TPoint p) {
            const uint8_t* px = ViewOf(b).At(p.X, p.Y);
            return uint32_t(px[2]) << 16 | px[1] << 8 | px[0];
        };
        EXPECT_EQ(at(shot, c.shown), at(cache, c.shown));
        EXPECT_EQ(at(shot, c.hidden), 0x008000u);
    }
    // A frame takes the group box's section at its next repaint; lines the panel's.
    bevel->SetShape(bsFrame);
    EXPECT_EQ(bevel->SkinData()->SkinSection(), "GROUPBOX");
    bevel->SetShape(bsLeftLine);
    bevel->SetStyle(bsRaised);
    EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL");
}

TEST_F(SkinnedBevelTest, NewBoundsMakeTheCacheStale) {
    auto* bevel = Place<TsBevel>(form, Bounds(20, 20, 40, 50));
    form->Show();
    Pump();
    bevel->PrepareCache();
    bevel->SetBounds(20, 20, 60, 50);
    EXPECT_TRUE(bevel->SkinData()->CacheStale);
}

}  // namespace
}  // namespace skin
