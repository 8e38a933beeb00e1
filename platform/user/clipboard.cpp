// The clipboard's contents, its open state and the bridge to other programs.
#include "platform/user/clipboard.h"

#include <cstring>
#include <map>

#include "platform/user/internal.h"

namespace win {
namespace {

struct ClipboardState {
    bool open = false;
    HWND opener = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> data;
    bool changed = false;     // emptied since it was opened
    bool outside = false;     // another program owns it
    HGLOBAL taken = nullptr;  // the outside text as last read
};

ClipboardState clip;
ClipboardBridge* bridge = nullptr;

void FreeData() {
    for (auto& [format, mem] : clip.data)
        GlobalFree(mem);
    clip.data.clear();
    if (clip.taken) GlobalFree(clip.taken);
    clip.taken = nullptr;
}

bool RequireOpen() {
    if (clip.open) return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

std::string TextOf(HGLOBAL mem) {
    auto* p = static_cast<const char*>(GlobalLock(mem));
    if (p == nullptr) return {};
    std::string s(p, strnlen(p, GlobalSize(mem)));
    GlobalUnlock(mem);
    return s;
}

// The outside text, fetched anew.
std::optional<std::string> OutsideText() {
    if (!clip.outside || bridge == nullptr) return std::nullopt;
    return bridge->Take();
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
    if (owner != nullptr && detail::Find(owner) == nullptr) return FALSE;
    if (clip.open && clip.opener != owner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clip.open = true;
    clip.opener = owner;
    clip.changed = false;
    return TRUE;
}

BOOL CloseClipboard() {
    if (!RequireOpen()) return FALSE;
    clip.open = false;
    if (clip.changed && bridge) {
        auto it = clip.data.find(CF_TEXT);
        if (it != clip.data.end()) bridge->Offer(TextOf(it->second));
    }
    clip.changed = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!RequireOpen()) return FALSE;
    FreeData();
    clip.owner = clip.opener;
    clip.changed = true;
    clip.outside = false;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!RequireOpen()) return nullptr;
    if (data == nullptr || format == 0 || GlobalSize(data) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (auto it = clip.data.find(format); it != clip.data.end() && it->second != data)
        GlobalFree(it->second);
    clip.data[format] = data;
    clip.changed = true;
    clip.outside = false;
    return data;
}

HANDLE GetClipboardData(UINT format) {
    if (!RequireOpen()) return nullptr;
    if (auto it = clip.data.find(format); it != clip.data.end()) return it->second;
    if (format != CF_TEXT) return nullptr;
    std::optional<std::string> text = OutsideText();
    if (!text) return nullptr;
    if (clip.taken) GlobalFree(clip.taken);
    clip.taken = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1);
    if (auto* p = static_cast<char*>(GlobalLock(clip.taken))) {
        std::memcpy(p, text->c_str(), text->size() + 1);
        GlobalUnlock(clip.taken);
    }
    return clip.taken;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    if (clip.data.count(format)) return TRUE;
    return format == CF_TEXT && OutsideText().has_value();
}

HWND GetClipboardOwner() {
    return detail::Peek(clip.owner) ? clip.owner : nullptr;
}

std::string GetClipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) return {};
    std::string s;
    if (HANDLE mem = GetClipboardData(CF_TEXT)) s = TextOf(mem);
    CloseClipboard();
    return s;
}

bool SetClipboardText(HWND owner, std::string_view text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        auto* p = static_cast<char*>(GlobalLock(mem));
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\0';
        GlobalUnlock(mem);
        SetClipboardData(CF_TEXT, mem);
    }
    CloseClipboard();
    return true;
}

void SetClipboardBridge(ClipboardBridge* b) {
    bridge = b;
}

void ClipboardTakenOutside() {
    FreeData();
    clip.owner = nullptr;
    clip.outside = true;
}

namespace detail {

void ResetClipboard() {
    FreeData();
    clip = ClipboardState{};
}

}  // namespace detail
}  // namespace win
