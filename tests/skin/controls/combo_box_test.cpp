#include "skin/controls/combo_box.h"

#include <gtest/gtest.h>

#include "platform/controls/combo_box_control.h"
#include "platform/user/user.h"
#include "skin/controls/labels.h"
#include "skin/controls/list_view.h"
#include "skin/controls/status_bar.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinComboBoxTest : public FormTest {
protected:
    TsComboBox* Ports() {
        auto* cb = Place<TsComboBox>(form, Bounds(80, 10, 120, 21));
        for (const char* s : {"ttyS0", "ttyS1", "ttyUSB0"})
            cb->Items()->Add(s);
        return cb;
    }
    void Type(const char* s) {
        for (; *s; ++s)
            QueueKey(0, *s);
        Pump();
    }
};

TEST_F(SkinComboBoxTest, ReadOnlyRefusesTypingAndTheDropDown) {
    auto* cb = Ports();
    EXPECT_EQ(cb->SkinData()->SkinSection(), "COMBOBOX");
    EXPECT_EQ(cb->DropDownCount(), 16);
    form->Show();
    Pump();
    cb->SetFocus();
    Type("COM");
    EXPECT_EQ(cb->Text(), "COM");  // an editable box takes typing
    SetOrdProp(cb, "ReadOnly", 1);
    Type("x");
    QueueKey(win::VK_BACK, 8);
    Pump();
    EXPECT_EQ(cb->Text(), "COM");
    QueueKey(win::VK_DOWN);
    QueueKey(0x73);  // F4
    Pump();
    EXPECT_FALSE(cb->DroppedDown());
    EXPECT_EQ(cb->ItemIndex(), -1);
    win::SendMessageA(cb->EditHandle(), win::WM_PASTE, 0, 0);
    EXPECT_EQ(cb->Text(), "COM");
    QueueClick(cb);
    Pump();
    EXPECT_FALSE(cb->DroppedDown());
    // Writable again: the keys choose.
    cb->SetReadOnly(false);
    cb->SetFocus();
    QueueKey(win::VK_DOWN);
    Pump();
    EXPECT_EQ(cb->ItemIndex(), 0);
}

TEST_F(SkinComboBoxTest, BoundLabelNamesThePortBox) {
    auto* cb = Ports();
    cb->SetName("cbCOM");
    cb->BoundLabel()->SetCaption("COM-port:");
    cb->BoundLabel()->SetActive(true);
    auto* l = dynamic_cast<TsEditLabel*>(cb->BoundLabel()->Label());
    EXPECT_EQ(l->Name(), "cbCOMLabel");
    EXPECT_EQ(l->Left() + l->Width(), 76);
    cb->SetVisible(false);
    EXPECT_FALSE(l->Visible());
}

TEST_F(SkinComboBoxTest, ListViewAndStatusBarCarryTheirSkinState) {
    auto* lv = Place<TsListView>(form, Bounds(10, 40, 200, 100));
    EXPECT_EQ(lv->SkinData()->COC, 10);
    EXPECT_EQ(lv->SkinData()->SkinSection(), "EDIT");
    EXPECT_TRUE(lv->HighlightHeaders());
    SetOrdProp(lv, "HighlightHeaders", 0);
    EXPECT_FALSE(lv->HighlightHeaders());
    lv->SetName("lvList");
    lv->BoundLabel()->SetActive(true);
    lv->BoundLabel()->SetLayout(sclTopLeft);
    EXPECT_EQ(lv->BoundLabel()->Label()->Left(), 10);
    auto* sb = Place<TsStatusBar>(form, Bounds(0, 170, 300, 20));
    EXPECT_EQ(sb->SkinData()->SkinSection(), "STATUSBAR");
    EXPECT_TRUE(sb->ControlStyle.Contains(csAcceptsControls));
    sb->Panels()->Add()->SetText("Rows: 5");
    EXPECT_EQ(sb->Panels()->Items(0)->Text(), "Rows: 5");
}

}  // namespace
}  // namespace skin
