#pragma once

namespace skin {

// Puts the button adapters into the control walk's factory: push buttons, bit buttons, check
// boxes and radio buttons. Speed buttons need no window adapter (the walk gives them a handler).
// Idempotent.
void RegisterButtonAdapters();

}  // namespace skin
