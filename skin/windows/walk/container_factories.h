// The ThirdParty rows of the containers and bars: group boxes, panels, page and tab controls
// and status bars. The class-library toolbar's row makes no adapter.
#pragma once

namespace skin {

// Puts the rows into the control adapter factory. Idempotent.
void RegisterContainerAdapters();

}  // namespace skin
