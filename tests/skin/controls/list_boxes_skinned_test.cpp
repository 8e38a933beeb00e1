// The list box with a skin: its colours, its adapter through the seam, its printed items.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/mask_geometry.h"
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

TEST_F(SkinnedListBoxTest, ChecksAreTheSkinsSmallCheckImages) {
    auto* list = Place<TsCheckListBox>(form, Bounds(10, 10, 140, 80));
    for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
    list->SetChecked(0, true);
    list->SetState(1, cbGrayed);
    auto* other = Place<TButton>(form, Bounds(10, 120, 75, 25));
    form->Show();
    Pump();
    other->SetFocus();
    list->Invalidate();
    Pump();
    struct Case {
        int item;
        const char* mask;
    };
    for (const Case c : {Case{0, "SMALLCHECKED"}, Case{1, "SMALLGRAYED"}, Case{2, "SMALLUNCHECKED"}}) {
        const int index = manager->GetMaskIndexByNames("GLOBALINFO", c.mask);
        ASSERT_TRUE(manager->Skin().IsValidImgIndex(index)) << c.mask;
        MaskFrame f;
        ASSERT_TRUE(ReadMaskFrame(manager->Masks()[size_t(index)], f));
        EXPECT_EQ(list->CheckSize(), (TPoint{f.FW, f.FH}));
        const TRect item = list->ItemRect(c.item);
        const TPoint at{item.Left + (list->CheckWidth() - f.FW) / 2,
                        item.Top + (item.Height() - f.FH) / 2};
        int compared = 0;
        for (int y = 0; y < f.FH; ++y)
            for (int x = 0; x < f.FW; ++x) {
                const uint8_t* p = f.Src.At(f.R.Left + x, f.R.Top + y);
                const uint32_t want = uint32_t(p[0]) << 16 | p[1] << 8 | p[2];  // as COLORREF
                if (want == 0xFF00FF || f.Type != 0) continue;
                ASSERT_EQ(ScreenPixel(list, at.X + x, at.Y + y) & 0xFFFFFF, want)
                    << c.mask << " " << x << "," << y;
                ++compared;
            }
        EXPECT_GT(compared, 0) << c.mask;
    }
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
