// Feeds arbitrary bytes to the packed-skin reader, as a lent blob. Only the reader's declared
// exceptions may come out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/core/data/skin_pack.h"
#include "skin/core/pixels/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vcl::TStringStream stream(std::string(reinterpret_cast<const char*>(data), size));
    auto c = std::make_unique<skin::TacSkinConvertor>();
    c->LendPackedData(&stream);
    try {
        skin::ExtractPackedSkin(c);
        if (c) c->FindImage("OPTIONS.DAT");
    } catch (const skin::ESkinPackError&) {
    } catch (const skin::EZDecompressionError&) {
    } catch (const vcl::EReadError&) {}
    return 0;
}
