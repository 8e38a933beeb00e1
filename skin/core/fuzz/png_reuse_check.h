// Pictures loaded one after another through one decoder and one TPNGGraphic must come out as
// fresh ones give them: nothing of an earlier load, failed or not, may reach a later one. Shared
// by the fuzz target and the decoder's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin::fuzz {

// Loads every picture through one decoder and one TPNGGraphic, and each again through fresh
// ones; returns where the first difference lies, or an empty text when there is none.
std::string CompareReusedLoads(const std::vector<std::string>& pictures);

// A small picture of a colour type and depth (rows unfiltered, samples from the seed), so that
// a sequence can mix known pictures with unknown ones.
std::string MakePlainPng(int colorType, int depth, int width, int height, uint32_t seed);

// The pictures of an input (cut before every PNG signature after its first byte) among known
// pictures of other layouts, the first of them again at the end.
std::vector<std::string> ReuseSequence(const uint8_t* data, size_t size);

}  // namespace skin::fuzz
