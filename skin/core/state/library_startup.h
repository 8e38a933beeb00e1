// The skin library's start-up and clean-up: the units of the data and painting core set up
// their shared state once, in a fixed order, before the first form is made, and release it in
// the reverse order at the end. A counter makes both idempotent: only the first InitSkinLibrary
// and the FinalizeSkinLibrary that balances it do the work.
//
// The start-up rows of the skinned controls and the window skinning come with those
// subsystems; they fill the neighbour services then.
#pragma once

#include <string>
#include <vector>

namespace skin {

// Runs under a platform of the NT family (this one is).
extern bool IsNTFamily;
// Glowing is off on a 32-bit emulation without desktop composition.
extern bool GlowDisabledByWow64;

// Whether layered windows can be shown; from the windowing layer at start-up. Tests switch it.
bool LayeredWindowsAvailable();
void SetLayeredWindowsAvailable(bool on);

void InitSkinLibrary();
void FinalizeSkinLibrary();
// How many InitSkinLibrary calls are not yet balanced.
int SkinLibraryStarts();

// The units in start-up order; clean-up runs them backwards.
std::vector<std::string> SkinLibraryUnits();
// "init <unit>" and "done <unit>" for each unit that did its work, in order, since the last
// start-up began.
const std::vector<std::string>& SkinLibraryTrace();

// The text the "/acver" switch shows.
inline constexpr const char* kVersionBanner = "Quillor v6.69";

}  // namespace skin
