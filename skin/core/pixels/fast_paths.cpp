#include "skin/core/pixels/fast_paths.h"

namespace skin {
namespace {

bool fast = true;

}  // namespace

bool FastPaths() {
    return fast;
}

void SetFastPaths(bool on) {
    fast = on;
}

}  // namespace skin
