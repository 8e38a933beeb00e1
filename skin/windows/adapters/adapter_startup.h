// The start-up of the window adapters: fills the skin core's slots they serve.
#pragma once

namespace skin {

// Idempotent.
void InitWindowAdapters();

}  // namespace skin
