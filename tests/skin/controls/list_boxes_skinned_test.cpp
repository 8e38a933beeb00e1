// The list box with a skin: its colours, its adapter through the seam, its printed items.
#include <gtest/gtest.h>

#include <optional>

#include "platform/gdi/gdi.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

// An adapter that notes what the list box asks of it.
class NotingAdapter : public TacControlAdapter {
public:
    explicit NotingAdapter(std::vector<std::string>* log) : log_(log) {}
    ~NotingAdapter() override { log_->push_back("freed"); }
    void RefreshScrollBarInfo(bool) override { log_->push_back("refresh"); }
    bool PaintScrollBars(win::HDC, int, uint32_t) override { return true; }
    bool Destroyed() const override { return false; }
    int BorderWidthX() const override { return 2; }
    int BorderWidthY() const override { return 2; }
    int HorzBarHeight() const override { return 0; }
    int VertBarWidth() const override { return 0; }
    void WndProc(TMessage&) override {}

private:
    std::vector<std::string>* log_;
};

class SkinnedListBoxTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
};

TEST_F(SkinnedListBoxTest, TheListTakesTheSectionsColoursAndItsAdapterThroughTheSeam) {
    std::vector<std::string> log;
    WindowSlots().UpdateEditWndAdapter = [&](TsCommonData*, AdapterPtr& adapter) {
        log.push_back("update");
        if (!adapter) adapter = std::make_unique<NotingAdapter>(&log);
    };
    auto* list = Place<TsListBox>(form, Bounds(10, 10, 120, 80));
    list->SetStyle(lbOwnerDrawFixed);
    list->Loaded();
    EXPECT_EQ(list->Color(), TColor(Section("EDIT").Color));
    EXPECT_EQ(list->Font()->Color(), TColor(Section("EDIT").FontColor));
    for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
    form->Show();
    Pump();
    ASSERT_NE(list->Adapter(), nullptr);
    log.clear();
    list->Perform(CM_SHOWINGCHANGED);
    EXPECT_EQ(log, (std::vector<std::string>{"update"}));
    log.clear();
    list->SetItemIndex(1);
    EXPECT_EQ(log, (std::vector<std::string>{"refresh"}));
    Pump();  // the selection in the system's highlight, as every list box shows it
    const TRect item = list->ItemRect(1);
    EXPECT_EQ(ScreenPixel(list, item.Right - 4, item.Top + 2), vcl::ColorToRGB(clHighlight));
    log.clear();
    list->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REFRESH),
                  reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"update"}));
    log.clear();
    list->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_REMOVESKIN),
                  reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"freed"}));
    EXPECT_EQ(list->Adapter(), nullptr);
    EXPECT_EQ(list->Color(), clWindow);
    EXPECT_EQ(list->Font()->Color(), clWindowText);
}

TEST_F(SkinnedListBoxTest, PrintingDrawsTheItemsFromTheLastToTheFirst) {
    auto* list = Place<TsListBox>(form, Bounds(10, 10, 120, 80));
    list->SetStyle(lbOwnerDrawFixed);
    for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
    std::vector<int> order;
    list->OnDrawItem = TDrawItemEvent::FromCallable(
        [&](TWinControl*, int index, const TRect&, TOwnerDrawState) { order.push_back(index); });
    form->Show();
    Pump();
    order.clear();
    TBitmap print;
    print.SetPixelFormat(pf24bit);
    print.SetSize(list->Width(), list->Height());
    EXPECT_EQ(list->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                            win::PRF_CLIENT),
              1);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
}

// The check list draws over the control's picture: the checks are the skin's small check
// images that let the picture through their key-coloured pixels, a header shows its HeaderSkin's
// normal image, a selected item keeps the list's font, and a disabled list mixes its items with
// the picture.
TEST_F(SkinnedListBoxTest, TheCheckListDrawsOverItsPicture) {
    auto* list = Place<TsCheckListBox>(form, Bounds(10, 10, 140, 100));
    for (const char* s : {"one", "two", "three", "one", "head"})
        list->Items()->Add(s);
    list->SetChecked(0, true);
    list->SetState(1, cbGrayed);
    list->SetItemIndex(3);
    list->SetHeader(4, true);
    list->SetHeaderSkin("BUTTON");
    auto* other = Place<TButton>(form, Bounds(10, 120, 75, 25));
    form->Show();
    Pump();
    other->SetFocus();
    Pump();
    // A marked picture, kept: the window draws its items again without rebuilding it.
    TBitmap* cache = list->SkinData()->CacheBmp();
    cache->Canvas()->Brush()->SetColor(TColor(0x00FF00));
    cache->Canvas()->FillRect(Rect(0, 0, cache->Width(), cache->Height()));
    win::InvalidateRect(list->Handle(), nullptr, win::FALSE);
    Pump();
    // `w` x `h` of the normal frame of `mask` at `at`; its key colour shows `keyed` when given.
    const auto expectMask = [&](const TsMaskData& mask, TPoint at, int w, int h,
                                std::optional<win::COLORREF> keyed) {
        MaskFrame f;
        ASSERT_TRUE(ReadMaskFrame(mask, f));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = f.Src.At(f.FrameLeft(0) + x, f.R.Top + y);
                const win::COLORREF own = uint32_t(p[0]) << 16 | p[1] << 8 | p[2];  // as COLORREF
                if (own == 0xFF00FF && !keyed) continue;
                EXPECT_EQ(ScreenPixel(list, at.X + x, at.Y + y) & 0xFFFFFF,
                          own == 0xFF00FF ? *keyed : own)
                    << x << "," << y;
            }
    };
    const char* checks[] = {"SMALLCHECKED", "SMALLGRAYED", "SMALLUNCHECKED"};
    for (int i = 0; i < 3; ++i) {
        const TsMaskData& mask =
            manager->Masks()[size_t(manager->GetMaskIndexByNames("GLOBALINFO", checks[i]))];
        const TPoint size = list->CheckSize();
        const TRect item = list->ItemRect(i);
        expectMask(mask,
                   {item.Left + (list->CheckWidth() - size.X) / 2,
                    item.Top + (item.Height() - size.Y) / 2},
                   size.X, size.Y, 0x00FF00);
    }
    const TsMaskData& button = manager->Masks()[size_t(Section("BUTTON").BordersMask)];
    expectMask(button, list->ItemRect(4).TopLeft(), button.WL, button.WT, std::nullopt);
    // The columns of an item's text that hold ink.
    const auto inked = [&](int index, vcl::TColor back) {
        const TRect item = list->ItemRect(index);
        std::vector<int> columns;
        for (int x = list->CheckWidth() + 2; x < item.Right; ++x)
            for (int y = item.Top; y < item.Bottom; ++y)
                if ((ScreenPixel(list, x, y) & 0xFFFFFF) != vcl::ColorToRGB(back)) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    EXPECT_EQ(inked(3, clHighlight), inked(0, list->Color()));

    list->SetEnabled(false);
    Pump();
    const TPoint p{list->ItemRect(1).Right - 4, list->ItemRect(1).Top + 2};
    const auto behind = TColor(win::GetPixel(cache->Canvas()->Handle(), p.X + 3, p.Y + 3));
    const auto own = TColor(vcl::ColorToRGB(list->Color()));
    ASSERT_NE(behind, own);
    const uint32_t want = BlendTwoColors(behind, own, 0.6), got = ScreenPixel(list, p.X, p.Y);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(got >> shift & 0xFF), int(want >> shift & 0xFF), 1) << shift;
}

TEST_F(SkinnedListBoxTest, AStaleCacheIsRebuiltThroughTheWindowBeforeAnItemIsDrawn) {
    auto* list = Place<TsCheckListBox>(form, Bounds(10, 10, 140, 80));
    for (const char* s : {"one", "two"}) list->Items()->Add(s);
    std::vector<std::string> log;
    list->OnDrawItem = TDrawItemEvent::FromCallable(
        [&](TWinControl*, int, const TRect&, TOwnerDrawState) { log.push_back("draw"); });
    const TWndMethod own = list->WindowProc;
    list->WindowProc = TWndMethod::FromCallable([&, own](TMessage& m) {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_CLEARCACHE) {
            log.push_back(list->SkinData()->CacheStale ? "rebuild stale" : "rebuild fresh");
        }
        own(m);
    });
    form->Show();
    Pump();
    log.clear();
    list->SkinData()->CacheStale = true;
    list->Invalidate();
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"rebuild stale", "draw", "draw"}));
    EXPECT_FALSE(list->SkinData()->CacheStale);
    list->WindowProc = own;
}

TEST_F(SkinnedListBoxTest, Ctl3DChoosesTheSunkenEdgeOrALineAndKeepsTheItems) {
    auto* list = Place<TsListBox>(form, Bounds(10, 10, 120, 80));
    for (const char* s : {"one", "two"}) list->Items()->Add(s);
    form->Show();
    Pump();
    list->SetItemIndex(1);
    struct Case {
        bool ctl3D;
        TBorderStyle border;
        bool edge, line;
    };
    for (const Case c : {Case{false, bsSingle, false, true}, Case{true, bsSingle, true, false},
                         Case{false, bsNone, false, false}}) {
        list->SetBorderStyle(c.border);
        list->SetCtl3D(c.ctl3D);
        const auto style = uint32_t(win::GetWindowLongA(list->Handle(), win::GWL_STYLE));
        const auto ex = uint32_t(win::GetWindowLongA(list->Handle(), win::GWL_EXSTYLE));
        EXPECT_EQ((ex & win::WS_EX_CLIENTEDGE) != 0, c.edge) << c.ctl3D;
        EXPECT_EQ((style & win::WS_BORDER) != 0, c.line) << c.ctl3D;
        EXPECT_EQ(list->Items()->Count(), 2);
        EXPECT_EQ(list->ItemIndex(), 1);
    }
}

}  // namespace
}  // namespace skin
