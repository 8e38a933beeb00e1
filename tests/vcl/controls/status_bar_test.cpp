#include "vcl/controls/status_bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/status_bar_control.h"
#include "tests/vcl/gui_fixture.h"

namespace vcl::testing {
namespace {

class StatusBarTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application()->CreateForm(form);
        form->SetBounds(50, 50, 400, 250);
        bar = New<TStatusBar>(form);
        bar->SetParent(form);
    }
    std::string PartText(int i) {
        char buf[64] = {};
        win::SendMessageA(bar->Handle(), win::SB_GETTEXTA, i, reinterpret_cast<win::LPARAM>(buf));
        return buf;
    }
    win::RECT PartRect(int i) {
        win::RECT r{};
        win::SendMessageA(bar->Handle(), win::SB_GETRECT, i, reinterpret_cast<win::LPARAM>(&r));
        return r;
    }
    TForm* form = nullptr;
    TStatusBar* bar = nullptr;
};

TEST_F(StatusBarTest, PanelsBecomePartsWithTheirTexts) {
    const int widths[] = {80, 120, 50};
    const TAlignment aligns[] = {taLeftJustify, taCenter, taRightJustify};
    for (int i = 0; i < 3; ++i) {
        TStatusPanel* p = bar->Panels()->Add();
        p->SetWidth(widths[i]);
        p->SetAlignment(aligns[i]);
        p->SetText("P" + std::to_string(i));
    }
    form->Show();
    Pump();
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());  // along the bottom
    EXPECT_EQ(bar->Width(), form->ClientWidth());
    int edges[3] = {};
    ASSERT_EQ(
        win::SendMessageA(bar->Handle(), win::SB_GETPARTS, 3, reinterpret_cast<win::LPARAM>(edges)),
        3);
    EXPECT_EQ(std::vector<int>(edges, edges + 3), (std::vector<int>{80, 200, -1}));
    EXPECT_EQ(PartText(0), "P0");
    EXPECT_EQ(PartText(1), "\tP1");
    EXPECT_EQ(PartText(2), "\t\tP2");
    bar->Panels()->Items(0)->SetWidth(100);
    bar->Panels()->Items(2)->SetText("Z");
    win::SendMessageA(bar->Handle(), win::SB_GETPARTS, 3, reinterpret_cast<win::LPARAM>(edges));
    EXPECT_EQ(edges[1], 220);
    EXPECT_EQ(PartText(2), "\t\tZ");
    bar->Panels()->Delete(2);
    EXPECT_EQ(win::SendMessageA(bar->Handle(), win::SB_GETPARTS, 0, 0), 2);

    bar->SetSimpleText("Готово");
    bar->SetSimplePanel(true);
    EXPECT_TRUE(win::SendMessageA(bar->Handle(), win::SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(PartText(0), "Готово");
    bar->SetSimplePanel(false);
    EXPECT_EQ(PartText(0), "P0");
}

TEST_F(StatusBarTest, OwnerDrawnPanelsArePaintedByTheHandler) {
    bar->Panels()->Add()->SetWidth(100);
    TStatusPanel* drawn = bar->Panels()->Add();
    drawn->SetStyle(psOwnerDraw);
    std::vector<TRect> rects;
    bar->OnDrawPanel = TDrawPanelEvent::FromCallable(
        [&](TCustomStatusBar* sender, TStatusPanel* panel, const TRect& r) {
            EXPECT_EQ(panel, drawn);
            rects.push_back(r);
            sender->Canvas()->Brush()->SetColor(clLime);
            sender->Canvas()->FillRect(r);
        });
    form->Show();
    Pump();
    ASSERT_FALSE(rects.empty());
    const win::RECT part = PartRect(1);
    EXPECT_GE(rects.back().Left, part.left);
    EXPECT_LE(rects.back().Right, part.right);
    EXPECT_EQ(ScreenPixel(bar, (part.left + part.right) / 2, (part.top + part.bottom) / 2),
              ColorToRGB(clLime));
}

TEST_F(StatusBarTest, TheGripShowsOnFormsThatSizeAndBorderWidthLeavesAMargin) {
    form->Show();
    Pump();
    auto grip = [&] {
        return (win::GetWindowLongPtrA(bar->Handle(), win::GWL_STYLE) & win::SBARS_SIZEGRIP) != 0;
    };
    EXPECT_TRUE(grip());
    bar->SetSizeGrip(false);
    EXPECT_FALSE(grip());
    bar->SetSizeGrip(true);
    form->SetBorderStyle(bsSingle);
    bar->RecreateWnd();
    EXPECT_FALSE(grip());

    bar->SetColor(clRed);
    bar->SetBorderWidth(3);
    Pump();
    EXPECT_EQ(bar->ClientWidth(), bar->Width() - 6);
    EXPECT_EQ(bar->ClientHeight(), bar->Height() - 6);
    const TPoint corner = bar->ClientToScreen({-2, -2});
    const TPoint inside = form->ScreenToClient(corner);
    EXPECT_EQ(ScreenPixel(form, inside.X, inside.Y), ColorToRGB(clRed));
}

}  // namespace
}  // namespace vcl::testing
