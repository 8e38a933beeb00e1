// The global memory table.
#include "platform/user/global_memory.h"

#include <map>
#include <mutex>
#include <vector>

namespace win {
namespace {

constexpr size_t kMaxBlock = size_t(256) << 20;

struct Block {
    std::vector<unsigned char> bytes;
    size_t size = 0;
    int locks = 0;
};

struct Table {
    std::mutex lock;
    std::map<uintptr_t, Block> blocks;
    uintptr_t next = 0x5A0010;
};

Table& T() {
    static Table t;
    return t;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    if (bytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto& t = T();
    std::lock_guard g(t.lock);
    uintptr_t id = t.next;
    t.next += 0x10;
    // A zero-byte block still has an address to lock.
    Block& b = t.blocks[id];
    b.bytes.assign(bytes == 0 ? 1 : bytes, 0);
    b.size = bytes;
    return reinterpret_cast<HGLOBAL>(id);
}

void* GlobalLock(HGLOBAL mem) {
    auto& t = T();
    std::lock_guard g(t.lock);
    auto it = t.blocks.find(reinterpret_cast<uintptr_t>(mem));
    if (it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++it->second.locks;
    return it->second.bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
    auto& t = T();
    std::lock_guard g(t.lock);
    auto it = t.blocks.find(reinterpret_cast<uintptr_t>(mem));
    if (it == t.blocks.end() || it->second.locks == 0) return FALSE;
    return --it->second.locks > 0;
}

size_t GlobalSize(HGLOBAL mem) {
    auto& t = T();
    std::lock_guard g(t.lock);
    auto it = t.blocks.find(reinterpret_cast<uintptr_t>(mem));
    return it == t.blocks.end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    auto& t = T();
    std::lock_guard g(t.lock);
    if (t.blocks.erase(reinterpret_cast<uintptr_t>(mem)) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    return nullptr;
}

}  // namespace win
