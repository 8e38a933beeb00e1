// The dialog children served by the container, tab and toolbar adapters: group boxes, nested
// dialogs and folder browsers (see-through), class-library panels, tab controls and toolbars.
#pragma once

namespace skin {

// Gives the dialog hook its creators for those rows. Idempotent.
void RegisterContainerDialogRows();

}  // namespace skin
