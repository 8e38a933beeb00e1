#include "platform/gdi/object_table.h"

#include <mutex>
#include <unordered_map>

namespace win::detail {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<Object>> objects;
    // Starts well above the small integers that callers confuse with handles; steps by 4 so
    // that handle values never collide with stock ids or resource numbers.
    uintptr_t next = 0x10000;
};

Table& table() {
    static Table* t = new Table;  // never destroyed: objects may be released at exit
    return *t;
}

}  // namespace

uintptr_t Register(std::shared_ptr<Object> object) {
    auto& t = table();
    std::lock_guard g(t.lock);
    const uintptr_t id = t.next;
    t.next += 4;
    object->id = id;
    t.objects.emplace(id, std::move(object));
    return id;
}

std::shared_ptr<Object> Find(const void* handle) {
    if (!handle) return nullptr;
    auto& t = table();
    std::lock_guard g(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool Unregister(const void* handle) {
    std::shared_ptr<Object> doomed;  // released outside the lock
    auto& t = table();
    std::lock_guard g(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.objects.end()) return false;
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

size_t LiveHandleCount() {
    auto& t = table();
    std::lock_guard g(t.lock);
    return t.objects.size();
}

}  // namespace win::detail
