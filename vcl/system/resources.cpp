#include "vcl/system/resources.h"

#include <map>
#include <mutex>
#include <string>

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace vcl {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, std::span<const uint8_t>> blocks;
};

Registry& TheRegistry() {
    static Registry r;  // built on first use, so registrars of any start-up order work
    return r;
}

std::string Key(std::string_view type, std::string_view name) {
    return UpperCase(type) + '\n' + UpperCase(name);
}

}  // namespace

void RegisterResource(std::string_view type, std::string_view name, const void* data,
                      std::size_t size) {
    Registry& r = TheRegistry();
    std::lock_guard g(r.lock);
    r.blocks[Key(type, name)] = {static_cast<const uint8_t*>(data), size};
}

void UnregisterResource(std::string_view type, std::string_view name) {
    Registry& r = TheRegistry();
    std::lock_guard g(r.lock);
    r.blocks.erase(Key(type, name));
}

std::span<const uint8_t> FindResourceData(std::string_view type, std::string_view name,
                                          bool* found) {
    Registry& r = TheRegistry();
    std::lock_guard g(r.lock);
    auto it = r.blocks.find(Key(type, name));
    if (found) *found = it != r.blocks.end();
    return it == r.blocks.end() ? std::span<const uint8_t>() : it->second;
}

TResourceStream::TResourceStream(std::string_view name, std::string_view type) {
    bool found = false;
    auto block = FindResourceData(type, name, &found);
    if (!found) throw EResNotFound(Format("Resource %s not found", name));
    SetPointer(block.data(), static_cast<int64_t>(block.size()));
}

}  // namespace vcl
