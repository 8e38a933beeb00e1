#include <gtest/gtest.h>

#include "skin/controls/bevel.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panels.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinContainersTest : public FormTest {};

TEST_F(SkinContainersTest, GroupBoxCaptionOffsetMovesOnlyTheControlsInside) {
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 200, 100));
    auto* inside = Place<TPanel>(box, Bounds(0, 0, 50, 20));
    inside->SetAlign(alTop);
    const int top = inside->Top();
    SetOrdProp(box, "CaptionYOffset", 10);
    EXPECT_EQ(inside->Top(), top + 10);
    // The caption's place on the top edge by CaptionLayout.
    EXPECT_EQ(box->CaptionRect(50).Left, 6);
    box->SetCaptionLayout(TsGroupBox::clTopRight);
    EXPECT_EQ(box->CaptionRect(50).Left, 136);
    box->SetCaptionLayout(TsGroupBox::clTopCenter);
    EXPECT_EQ(box->CaptionRect(50).Left, 70);
    EXPECT_EQ(box->CaptionRect(500).Left, 0);  // never left of the box
    box->SetCaptionYOffset(-4);
    EXPECT_EQ(box->CaptionRect(50).Top, -4);
    EXPECT_EQ(box->SkinData()->SkinSection(), "GROUPBOX");
}

TEST_F(SkinContainersTest, BevelChoosesItsSectionByShapeAndStyle) {
    auto* bevel = Place<TsBevel>(form, Bounds(10, 10, 100, 50));
    EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL_LOW");
    bevel->SetStyle(bsRaised);
    EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL");
    SetOrdProp(bevel, "Shape", bsFrame);
    EXPECT_EQ(bevel->SkinData()->SkinSection(), "GROUPBOX");
}

TEST_F(SkinContainersTest, PanelPaintsThenTellsItsHandler) {
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 100, 50));
    EXPECT_EQ(panel->SkinData()->SkinSection(), "PANEL");
    int paints = 0, enters = 0;
    panel->OnPaint = TPaintEvent::FromCallable([&](TObject* s, TCanvas* c) {
        EXPECT_EQ(s, panel);
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(0, 0, 5, 5));
        ++paints;
    });
    panel->OnMouseEnter = TNotifyEvent::FromCallable([&](TObject*) { ++enters; });
    form->Show();
    Pump();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(ScreenPixel(panel, 2, 2), win::RGB(255, 0, 0));
    // A child's report of the mouse is not the panel's own.
    auto* child = Place<TsPanel>(panel, Bounds(10, 10, 20, 20));
    child->Perform(CM_MOUSEENTER);
    EXPECT_EQ(enters, 0);
    panel->Perform(CM_MOUSEENTER);
    EXPECT_EQ(enters, 1);
}

TEST_F(SkinContainersTest, DragBarMovesItsForm) {
    auto* bar = Place<TsDragBar>(form, Bounds(0, 0, 300, 20));
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), 20);
    EXPECT_EQ(bar->Color(), clActiveCaption);
    EXPECT_EQ(bar->SkinData()->COC, 56);
    // Loaded without a control to drag, it drags its form.
    bar->Loaded();
    EXPECT_EQ(bar->DraggedControl(), form);
    form->Show();
    Pump();
    const TPoint p = ScreenCentre(bar);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    QueueMove(p.X + 30, p.Y + 20);
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X + 30, p.Y + 20}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(form->Left(), 80);
    EXPECT_EQ(form->Top(), 70);
}

}  // namespace
}  // namespace skin
