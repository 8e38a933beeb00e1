// Enter, Escape and captions in the port dialog, through keys on the headless screen.
#include <gtest/gtest.h>

#include "gateway/form_gsm.h"
#include "platform/os/cp_literal.h"
#include "window_rig.h"

namespace {

TEST(PortDialogKeys, EnterClicksTheFocusedButtonEscapeCancelsAndCaptionsFit) {
    gateway_test::WindowRig rig;
    rig.stepLimit = 100;
    gateway::TformGSM* dialog = nullptr;
    vcl::Application()->CreateForm(dialog);
    dialog->SysClassTty = rig.dir / "none";
    rig.giveUp = [&] { dialog->SetModalResult(vcl::mrCancel); };
    rig.Then(
        "the dialog", [&] { return dialog->Visible(); },
        [&] {
            // The caption above the log, auto-sized, shows all of its text and ends where the
            // log begins.
            vcl::TCustomLabel* label = dialog->memoLog->BoundLabel()->Label();
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->Caption(), "Лог АТ-команд:"_cp);
            EXPECT_GE(label->Width(), label->Canvas()->TextWidth(label->Caption()));
            EXPECT_EQ(label->Top() + label->Height() + 2, dialog->memoLog->Top());
            dialog->btnTest->SetFocus();
            rig.Key(win::VK_RETURN, '\r');
        });
    rig.Then(
        "the test's message", [&] { return !rig.boxes.empty(); },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    std::string port;
    dialog->Execute(port);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(rig.boxes.size(), 1u);
    EXPECT_FALSE(dialog->Selected);
}

}  // namespace
