// The program's own resources: named blocks of bytes built into the executable (pictures,
// packed skins), found by type and name as the class library finds them.
//
// A generated source file registers its blocks at start-up:
//
//   static const vcl::ResourceRegistrar kShadow("RCDATA", "acSHDA", kShadowData, sizeof
//   kShadowData);
//
// Such a file must be linked into the executable itself (or kept alive by a reference), since
// a linker drops unreferenced objects of static libraries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "vcl/system/streams.h"

namespace vcl {

inline constexpr std::string_view RT_RCDATA = "RCDATA";

// Registers a block under a type and a name (both compared ignoring case). The bytes must
// stay alive as long as the program runs; a second block of the same type and name replaces
// the first.
void RegisterResource(std::string_view type, std::string_view name, const void* data,
                      std::size_t size);
void UnregisterResource(std::string_view type, std::string_view name);
// The block, or an empty span with found = false.
std::span<const uint8_t> FindResourceData(std::string_view type, std::string_view name,
                                          bool* found = nullptr);

struct ResourceRegistrar {
    ResourceRegistrar(std::string_view type, std::string_view name, const void* data,
                      std::size_t size) {
        RegisterResource(type, name, data, size);
    }
};

// A read-only stream over a resource; EResNotFound "Resource %s not found" when there is none.
class TResourceStream : public TCustomMemoryStream {
public:
    VCL_CLASS(TResourceStream, TCustomMemoryStream)

    TResourceStream(std::string_view name, std::string_view type = RT_RCDATA);
};

}  // namespace vcl
