#include "skin/controls/edits.h"

#include <gtest/gtest.h>

#include "skin/controls/labels.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinEditsTest : public FormTest {};

TEST_F(SkinEditsTest, SkinStateKeepsItsSectionUpperCaseAndDefaultsByKind) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 121, 21));
    auto* memo = Place<TsMemo>(form, Bounds(10, 40, 121, 60));
    EXPECT_EQ(ed->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(ed->SkinData()->COC, 3);
    EXPECT_EQ(memo->SkinData()->COC, 7);
    EXPECT_EQ(memo->SkinData()->SkinSection(), "EDIT");
    // The state is published and its own properties are found by name, as a form loads them.
    auto* data = dynamic_cast<TsCommonData*>(GetObjectProp(ed, "SkinData"));
    ASSERT_EQ(data, ed->SkinData());
    SetStrProp(data, "SkinSection", "edit");
    EXPECT_EQ(data->SkinSection(), "EDIT");
    data->SetSkinSection("");
    EXPECT_EQ(data->SkinSection(), "UNKNOWN");
    SetOrdProp(ed, "DisabledKind", TsDisabledKind{dkGrayed}.Bits());
    EXPECT_TRUE(ed->DisabledKind().Contains(dkGrayed));
    EXPECT_FALSE(ed->DisabledKind().Contains(dkBlended));
    // A masked edit lets its text be set without the caption style of a plain control.
    auto* mask = Place<TsMaskEdit>(form, Bounds(10, 110, 121, 21));
    EXPECT_FALSE(mask->ControlStyle.Contains(csSetCaption));
    EXPECT_FALSE(memo->ControlStyle.Contains(csOpaque));
}

TEST_F(SkinEditsTest, BoundLabelIsNamedAfterItsEditAndFocusesIt) {
    auto* ed = Place<TsEdit>(form, Bounds(100, 50, 121, 21));
    ed->SetName("edName");
    ed->SetText("typed");
    TsBoundLabel* bound = ed->BoundLabel();
    EXPECT_EQ(GetObjectProp(ed, "BoundLabel"), bound);
    EXPECT_FALSE(bound->Active());
    EXPECT_TRUE(bound->UseSkinColor());  // no label yet
    SetOrdProp(bound, "Active", 1);
    auto* label = dynamic_cast<TsEditLabel*>(bound->Label());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name(), "edNameLabel");
    EXPECT_EQ(label->Owner(), ed);
    EXPECT_EQ(label->Parent(), form);
    EXPECT_EQ(label->FocusControl, ed);
    EXPECT_EQ(label->Caption(), "typed");  // an empty caption takes the edit's text
    bound->SetUseSkinColor(false);
    EXPECT_FALSE(label->UseSkinColor());
    // Freed with its edit; a label freed first leaves no dangling reference behind.
    bound->SetCaption("&Name:");
    EXPECT_EQ(label->Caption(), "&Name:");
    label->Free();
    EXPECT_EQ(bound->Label(), nullptr);
    EXPECT_FALSE(bound->Active());
    bound->SetActive(true);
    EXPECT_EQ(bound->Label()->Caption(), "&Name:");
    const int before = form->ControlCount();
    ed->Free();
    EXPECT_EQ(form->ControlCount(), before - 2);
}

TEST_F(SkinEditsTest, BoundLabelStaysBesideItsEdit) {
    auto* ed = Place<TsEdit>(form, Bounds(100, 50, 121, 21));
    TsBoundLabel* bound = ed->BoundLabel();
    bound->SetCaption("Name:");
    bound->SetActive(true);
    auto* l = dynamic_cast<TsEditLabel*>(bound->Label());
    // Left of the edit: 4 pixels between them, centred on the edit's height less one.
    EXPECT_EQ(l->Left() + l->Width(), 96);
    EXPECT_EQ(l->Top(), 50 + (21 - l->Height()) / 2 - 1);
    bound->SetIndent(3);
    EXPECT_EQ(l->Left() + l->Width(), 93);
    bound->SetIndent(0);
    // Above it, at its left, centre and right, with the matching text alignment.
    bound->SetLayout(sclTopLeft);
    EXPECT_EQ(l->Left(), 100);
    EXPECT_EQ(l->Top() + l->Height(), 50);
    EXPECT_EQ(l->Alignment(), taLeftJustify);
    bound->SetLayout(sclTopCenter);
    EXPECT_EQ(l->Left(), 100 + (121 - l->Width()) / 2);
    EXPECT_EQ(l->Alignment(), taCenter);
    bound->SetLayout(sclTopRight);
    EXPECT_EQ(l->Left() + l->Width(), 221);
    EXPECT_EQ(l->Alignment(), taRightJustify);
    // It moves with the edit, before and after the edit has a window.
    ed->SetBounds(120, 80, 121, 21);
    EXPECT_EQ(l->Left() + l->Width(), 241);
    EXPECT_EQ(l->Top() + l->Height(), 80);
    form->Show();
    Pump();
    ed->SetBounds(10, 120, 150, 21);
    EXPECT_EQ(l->Left() + l->Width(), 160);
    EXPECT_EQ(l->Top() + l->Height(), 120);
    // A maximum width wraps the label within it, at least as high as the edit.
    bound->SetMaxWidth(30);
    EXPECT_EQ(l->Width(), 30);
    EXPECT_TRUE(l->WordWrap());
    EXPECT_GE(l->Height(), 21);
}

TEST_F(SkinEditsTest, BoundLabelFollowsVisibilityAndEnabling) {
    auto* ed = Place<TsMaskEdit>(form, Bounds(100, 50, 121, 21));
    ed->BoundLabel()->SetActive(true);
    auto* l = dynamic_cast<TsEditLabel*>(ed->BoundLabel()->Label());
    ed->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    ed->SetVisible(true);
    EXPECT_TRUE(l->Visible());
    // A blended disabled look greys the label; without it the label stays enabled.
    ed->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());
    ed->SetEnabled(true);
    EXPECT_TRUE(l->Enabled());
    ed->SetDisabledKind({dkGrayed});
    ed->SetEnabled(false);
    EXPECT_TRUE(l->Enabled());
}

TEST_F(SkinEditsTest, MemoTellsOfCaretMovesAndScrolling) {
    auto* memo = Place<TsMemo>(form, Bounds(10, 10, 150, 60));
    form->Show();
    Pump();
    int carets = 0, scrolls = 0;
    memo->OnScrollCaret = TNotifyEvent::FromCallable([&](TObject* s) {
        EXPECT_EQ(s, memo);
        ++carets;
    });
    memo->OnVScroll = TNotifyEvent::FromCallable([&](TObject*) { ++scrolls; });
    memo->Lines()->SetText("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8");
    memo->SetSelStart(3);
    EXPECT_GE(carets, 1);
    win::SendMessageA(memo->Handle(), win::WM_VSCROLL, win::SB_LINEDOWN, 0);
    EXPECT_EQ(scrolls, 1);
}

}  // namespace
}  // namespace skin
