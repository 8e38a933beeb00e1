// The start-up of the window skinning's adapters: fills the skinned controls' slots that make
// and free the frame-and-bars adapters, and the skin core's slots of the adapter base.
#pragma once

namespace skin {

// Idempotent.
void InitScrollAdapters();

}  // namespace skin
