// The dialog hook's creators for the children of the scrollable families (combo boxes, list
// views, tree views) and for the pop-up menu windows.
#pragma once

namespace skin {

// Puts the creators into the dialog hook's child table and menu-window slot. Idempotent.
void RegisterScrollDialogChildren();

}  // namespace skin
