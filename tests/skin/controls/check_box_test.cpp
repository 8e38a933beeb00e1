#include "skin/controls/check_box.h"

#include <gtest/gtest.h>

#include "platform/controls/standard_controls.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"
#include "skin/controls/text_size.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinCheckBoxTest : public FormTest {};

TEST_F(SkinCheckBoxTest, ReadOnlyRefusesMouseAndKeysButNotCode) {
    auto* chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
    chk->SetCaption("Report");
    int clicks = 0;
    chk->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++clicks; });
    form->Show();
    Pump();
    QueueClick(chk);
    Pump();
    EXPECT_TRUE(chk->Checked());
    EXPECT_EQ(clicks, 1);

    SetOrdProp(chk, "ReadOnly", 1);
    EXPECT_TRUE(chk->ReadOnly());
    QueueClick(chk);
    QueueClick(chk);  // a double click too
    Pump();
    chk->SetFocus();
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_TRUE(chk->Checked());
    EXPECT_EQ(clicks, 1);  // silently: no event
    EXPECT_FALSE(chk->Pressed());

    chk->SetChecked(false);  // code still sets it
    EXPECT_FALSE(chk->Checked());
    chk->SetReadOnly(false);
    QueueKey(win::VK_SPACE, ' ');
    Pump();
    EXPECT_TRUE(chk->Checked());
}

TEST_F(SkinCheckBoxTest, AutoSizeFollowsTheCaption) {
    auto* chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
    EXPECT_TRUE(chk->AutoSize());
    chk->SetCaption("Запросить отчет о доставке"_cp);
    const TPoint text = TextSizeOf(chk->Font(), chk->Caption());
    EXPECT_EQ(chk->Width(), text.X + 20);
    EXPECT_EQ(chk->Height(), std::max(text.Y + 4, 20));
    chk->Font()->SetSize(20);
    EXPECT_EQ(chk->Height(), TextSizeOf(chk->Font(), chk->Caption()).Y + 4);
    chk->SetAutoSize(false);
    chk->SetCaption("x");
    EXPECT_EQ(chk->Height(), TextSizeOf(chk->Font(), "Запросить отчет о доставке"_cp).Y + 4);
}

TEST_F(SkinCheckBoxTest, StateSetWhileAFormLoadsIsKept) {
    TsCheckBox* chk = nullptr;
    {
        TLoadingScope loading;
        chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
        SetOrdProp(chk, "Checked", 1);
        SetOrdProp(chk, "Margin", 5);
        loading.Finish();
    }
    EXPECT_TRUE(chk->Checked());
    EXPECT_EQ(chk->Margin(), 5);
    EXPECT_EQ(chk->SkinData()->SkinSection(), "CHECKBOX");
    form->Show();
    Pump();
    EXPECT_EQ(win::SendMessageA(chk->Handle(), win::BM_GETCHECK, 0, 0), win::BST_CHECKED);
}

TEST_F(SkinCheckBoxTest, ImageListIsForgottenWhenFreed) {
    auto* chk = Place<TsCheckBox>(form, Bounds(10, 10, 150, 20));
    auto* images = New<TImageList>(form);
    SetObjectProp(chk, "Images", images);
    EXPECT_EQ(chk->Images(), images);
    images->Free();
    EXPECT_EQ(chk->Images(), nullptr);
}

}  // namespace
}  // namespace skin
