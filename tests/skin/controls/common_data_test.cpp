#include "skin/core/state/common_data.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "skin/controls/buttons.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

TEST(SkinDefaultSections, EachKindHasItsSection) {
    EXPECT_EQ(DefaultSectionForKind(3), "EDIT");
    EXPECT_EQ(DefaultSectionForKind(97), "EDIT");
    EXPECT_EQ(DefaultSectionForKind(140), "EDIT");
    EXPECT_EQ(DefaultSectionForKind(14), "COMBOBOX");
    EXPECT_EQ(DefaultSectionForKind(32), "CHECKBOX");
    EXPECT_EQ(DefaultSectionForKind(58), "PANEL_LOW");
    EXPECT_EQ(DefaultSectionForKind(94), "BUTTON");
    EXPECT_EQ(DefaultSectionForKind(161), "GAUGE");
    EXPECT_EQ(DefaultSectionForKind(138), "");  // no section of its own: the class's name
    EXPECT_TRUE(KindHasHotState(92));
    EXPECT_FALSE(KindHasHotState(51));
    EXPECT_FALSE(KindHasHotState(161));
    EXPECT_TRUE(KindHasHotState(300));
}

class SkinCommonDataTest : public FormTest {};

TEST_F(SkinCommonDataTest, FocusAndMouseMakeAControlActive) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    auto* other = Place<TsEdit>(form, Bounds(10, 40, 100, 21));
    TsCommonData* data = ed->SkinData();
    form->Show();
    Pump();
    other->SetFocus();
    Pump();
    EXPECT_FALSE(ControlIsActive(data));
    data->CacheStale = false;
    ed->SetFocus();
    Pump();
    EXPECT_TRUE(data->Focused);
    EXPECT_TRUE(data->CacheStale);
    EXPECT_TRUE(ControlIsActive(data));
    other->SetFocus();
    Pump();
    EXPECT_FALSE(data->Focused);
    EXPECT_FALSE(ControlIsActive(data));
    ed->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(data->MouseAbove);
    EXPECT_TRUE(ControlIsActive(data));
    ed->SetEnabled(false);  // a disabled control is never active, and forgets the mouse
    EXPECT_FALSE(data->MouseAbove);
    EXPECT_FALSE(ControlIsActive(data));
    // Kinds without a hot state take no mouse-over state.
    auto* box = Place<TsGroupBox>(form, Bounds(150, 10, 100, 100));
    box->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(box->SkinData()->MouseAbove);
}

TEST_F(SkinCommonDataTest, AHiddenControlLetsItsCacheGo) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    TsCommonData* data = ed->SkinData();
    data->InitCacheBmp();
    EXPECT_EQ(data->CacheBmp()->Width(), 100);
    EXPECT_EQ(data->CacheBmp()->Height(), 21);
    ed->SetVisible(false);
    EXPECT_EQ(data->CacheBmp()->Width(), 0);
    data->BGChanged = true;
    data->CacheStale = false;
    ed->SetVisible(true);
    EXPECT_FALSE(data->BGChanged);
    EXPECT_TRUE(data->CacheStale);
    // A gauge keeps no cache until it needs one.
    auto* g = Place<TsGauge>(form, Bounds(10, 40, 100, 20));
    EXPECT_EQ(g->SkinData()->CacheBmp(), nullptr);
}

TEST_F(SkinCommonDataTest, GlyphButtonStates) {
    auto* ok = Place<TsBitBtn>(form, Bounds(10, 10, 75, 25));
    auto* cancel = Place<TsBitBtn>(form, Bounds(100, 10, 75, 25));
    EXPECT_EQ(ok->SkinData()->SkinSection(), "BUTTON");
    EXPECT_EQ(ok->Alignment(), taCenter);
    EXPECT_TRUE(ok->WordWrap());
    ok->SetDefault(true);
    form->Show();
    Pump();
    EXPECT_EQ(ok->CurrentState(), 1);  // the default button looks hot wherever the mouse is
    EXPECT_EQ(cancel->CurrentState(), 0);
    cancel->SetDown(true);
    EXPECT_EQ(cancel->CurrentState(), 2);
    cancel->SetDown(false);
    const TPoint p = ScreenCentre(cancel);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(cancel->CurrentState(), 2);
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(cancel->CurrentState(), 1);  // focused by the click
}

}  // namespace
}  // namespace skin
