// The walk's creators for the scrollable controls' adapter families: combo boxes, list views
// and tree views.
#pragma once

namespace skin {

// Puts the creators into the ThirdParty factory. Idempotent.
void RegisterScrollAdapterFactories();

}  // namespace skin
