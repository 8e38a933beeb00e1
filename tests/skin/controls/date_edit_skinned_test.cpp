// The date edit and its popup calendar with a skin: the new date shows at once, the popup
// window is cut to the calendar's border mask.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "skin/controls/date_edit.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

using SkinnedDateEditTest = skin_test::SkinnedFormTest;

TEST_F(SkinnedDateEditTest, ANewDateRepaintsAtOnce) {
    auto* ed = Place<TsDateEdit>(form, Bounds(10, 10, 100, 21));
    form->Show();
    Pump();
    TsCommonData* d = ed->SkinData();
    ed->SetDate(EncodeDate(2026, 3, 5));
    EXPECT_FALSE(d->BGChanged);  // nothing waits for a parent's update
    EXPECT_TRUE(d->CacheStale);
    win::UpdateWindow(ed->Handle());
    Pump();
    EXPECT_FALSE(d->CacheStale);  // painted, from a rebuilt cache
    // The same date again changes nothing.
    ed->SetDate(EncodeDate(2026, 3, 5));
    EXPECT_FALSE(d->CacheStale);
}

TEST_F(SkinnedDateEditTest, ThePopupIsCutToItsCalendarsMaskCorners) {
    auto* ed = Place<TsDateEdit>(form, Bounds(10, 10, 100, 21));
    form->Show();
    Pump();
    ed->PopupDropDown();
    Pump();
    TsPopupCalendar* popup = ed->PopupCalendar();
    ASSERT_TRUE(popup->Visible());
    TsCommonData* d = popup->Calendar()->SkinData();
    ASSERT_TRUE(manager->Skin().IsValidImgIndex(d->BorderIndex));
    MaskFrame f;
    ASSERT_TRUE(ReadMaskFrame(manager->Masks()[size_t(d->BorderIndex)], f));
    const auto pixel = [&](int x, int y) { return f.Src.Row(y) + x * f.Src.BytesPerPixel; };
    const auto keyed = [&](int x, int y) {
        const uint8_t* p = pixel(x, y);
        return (uint32_t(p[2]) << 16 | p[1] << 8 | p[0]) == 0xFF00FF;
    };
    const int right = f.R.Left + f.FW - 1, bottom = f.R.Top + f.FH - 1;
    // Rounded top-left and bottom-right corners: the key in the mask's corner pixels (put
    // back when the test ends: the picture may be shared).
    struct Saved {
        uint8_t* at;
        uint8_t b, g, r;
    };
    std::vector<Saved> saved;
    for (auto [x, y] : {std::pair{f.R.Left, f.R.Top}, {right, bottom}}) {
        uint8_t* p = pixel(x, y);
        saved.push_back({p, p[0], p[1], p[2]});
        p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF;
    }
    struct Restore {
        std::vector<Saved>& s;
        ~Restore() {
            for (const Saved& v : s) v.at[0] = v.b, v.at[1] = v.g, v.at[2] = v.r;
        }
    } restore{saved};
    popup->Perform(win::WM_NCPAINT, 1, 0);
    const int w = popup->Width(), h = popup->Height();
    win::HRGN shown = win::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(win::GetWindowRgn(popup->Handle(), shown), 0);
    // Each corner pixel of the window is out exactly when the mask's corner pixel is the key.
    struct Corner {
        int wx, wy, mx, my;
    };
    for (const Corner c : {Corner{0, 0, f.R.Left, f.R.Top}, Corner{w - 1, 0, right, f.R.Top},
                           Corner{0, h - 1, f.R.Left, bottom}, Corner{w - 1, h - 1, right, bottom}})
        EXPECT_EQ(win::PtInRegion(shown, c.wx, c.wy) == win::FALSE, keyed(c.mx, c.my))
            << c.wx << "," << c.wy;
    EXPECT_TRUE(win::PtInRegion(shown, w / 2, h / 2));
    win::DeleteObject(shown);
    // Without a mask the region is the whole rectangle.
    win::HRGN whole = PopupCalendarRegion(nullptr, 10, 10);
    for (auto [x, y] : {std::pair{0, 0}, {9, 9}})
        EXPECT_TRUE(win::PtInRegion(whole, x, y));
    win::DeleteObject(whole);
}

}  // namespace
}  // namespace skin
