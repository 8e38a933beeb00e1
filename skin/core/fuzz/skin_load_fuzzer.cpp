// Loads arbitrary packed skins end to end into a TsSkinContent: the options grammar, the master
// bitmap, own pictures and JPEG patterns (input layout in skin_load_input.h). Only the readers'
// declared errors may come out; anything else (a crash, undefined behaviour, a leak, a hang) is
// a finding.
#include <cstddef>
#include <cstdint>

#include "skin/core/fuzz/skin_load_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin_fuzz::LoadSkinInput(data, size);
    return 0;
}
