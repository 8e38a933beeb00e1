// Engine-wide flags of the skin library. They belong to the GUI thread, as all skin work does.
#pragma once

#include <cstdint>
#include <string>

namespace skin {

// 1 from the start of a skin load or change until after its broadcast.
extern uint8_t SkinChanging;
// Set while the manager broadcasts a new skin: controls then leave their caches alone on
// Invalidate and SetBounds.
extern bool BroadcastingNewSkin;
// Set while a skin is removed from every form.
extern bool RemovingSkin;
// Set for the whole of any form animation; changed children are not repainted meanwhile.
extern bool AnimationRunning;
// 1 when system dialogs are not skinned (read by the dialog hook).
extern uint8_t DialogsNotSkinned;
// The section that skin command 13 repaints; empty in this program.
extern std::string RepaintSectionName;

}  // namespace skin
