// The start-up of the window skinning: every part fills the slots of the layers below that it
// serves. Called once by the program after the skin library's own start-up.
#pragma once

namespace skin {

// Idempotent.
void InitSkinWindows();

}  // namespace skin
