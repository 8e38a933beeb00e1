// What the skin core calls of the skinned controls and of the window skinning, which sit above
// it and may not be included here: a table of replaceable slots. Those subsystems fill the slots
// at start-up; tests fill them with recorders. Until then each slot does something harmless.
#pragma once

#include <functional>
#include <string>

#include "vcl/controls/controls.h"

namespace skin {

// The kinds of the skinned message dialog.
enum TMsgDlgKind : int { mdWarning = 0, mdError = 1, mdInformation = 2, mdConfirmation = 3 };

struct NeighbourServices {
    // Offered each windowed child that is not skin-aware while a message is broadcast down the
    // controls; true when a window adapter took the message for it. Default: not taken.
    std::function<bool(vcl::TWinControl* child, vcl::TMessage& message)> BroadcastToAdapter;
    // A message for the operator in the skinned message dialog, with one OK button. Default: a
    // plain message box with the kind's caption and icon.
    std::function<void(const std::string& text, TMsgDlgKind kind)> ShowMessage;
};

// The one table of the process.
NeighbourServices& Neighbours();
// Puts the defaults back into every slot.
void ResetNeighbourServices();

}  // namespace skin
