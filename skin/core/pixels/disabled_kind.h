// TsDisabledKind: how a disabled control's image looks: mixed with what lies behind it
// (dkBlended), greyed (dkGrayed), or both.
#pragma once

#include <cstdint>

#include "vcl/system/set.h"

namespace skin {

enum TsDisabledKindItem : uint8_t { dkBlended, dkGrayed };
using TsDisabledKind = vcl::Set<TsDisabledKindItem>;

}  // namespace skin
