// The skin-load fuzz target's input, shared with the regression test that replays the inputs
// it found. An input is a packed skin spelled out so that the mutator reaches the grammar:
//
//   byte 0       bits 0-1: sections added to the options text (0, 10, 100 or 1000; 100000
//                when the first two bytes are 0xFF, rarely met by mutation since such a load
//                takes seconds), some in parent chains longer than the readers follow;
//                bits 2-3: the hue offset (0, 120, -45, 360); bits 4-5: the saturation (0, 30,
//                -30, 150)
//   then         the options text, and any number of files, each after a line ">>NAME"
//
// The harness packs the text and the files into a blob, unpacks it and reads it into a
// TsSkinContent as the skin loading does, then asks every lookup of every mask and section.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin_fuzz {

// Only the readers' declared errors come out.
void LoadSkinInput(const uint8_t* data, size_t size);

}  // namespace skin_fuzz
