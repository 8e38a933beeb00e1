// The dialog children the hook makes through its factory that the container adapters serve:
// nested dialogs and folder browsers (see-through) and class-library panels.
#pragma once

namespace skin {

// Gives the dialog hook its creators for those rows. Idempotent.
void RegisterContainerDialogRows();

}  // namespace skin
