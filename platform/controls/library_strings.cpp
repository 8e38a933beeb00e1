#include "platform/controls/library_strings.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/os/cp_literal.h"

namespace win {

namespace {

// A handle no window or object shares: the library has no other existence here.
HMODULE const kCommonControls = reinterpret_cast<HMODULE>(uintptr_t(0x7C0001));

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

}  // namespace

HMODULE GetModuleHandleA(const char* name) {
    if (!name) return nullptr;
    const std::string_view n(name);
    return SameName(n, "comctl32.dll") || SameName(n, "comctl32") ? kCommonControls : nullptr;
}

int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size) {
    static const std::string today = "Сегодня:"_cp;
    if (module != kCommonControls || id != IDS_TODAY || !buffer || size < 0) return 0;
    const int length = static_cast<int>(today.size());
    if (size == 0) {
        *reinterpret_cast<const char**>(buffer) = today.c_str();
        return length;
    }
    const int n = std::min(length, size - 1);
    std::memcpy(buffer, today.data(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

}  // namespace win
