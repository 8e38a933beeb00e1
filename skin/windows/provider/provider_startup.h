// The start-up of the form skin provider: fills the skin core's slots the provider answers.
#pragma once

namespace skin {

// Idempotent.
void InitFormProviders();

}  // namespace skin

namespace skin {

// Lets providers make the layered extended-border window. Idempotent.
void InitBorderForms();

}  // namespace skin
