// The list box with a skin: its colours, its adapter through the seam, its printed items.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/skin_data.h"
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

}  // namespace
}  // namespace skin
