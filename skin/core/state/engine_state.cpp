#include "skin/core/state/engine_state.h"

namespace skin {

uint8_t SkinChanging = 0;
bool BroadcastingNewSkin = false;
bool RemovingSkin = false;
bool AnimationRunning = false;
uint8_t DialogsNotSkinned = 0;
std::string RepaintSectionName;

}  // namespace skin
