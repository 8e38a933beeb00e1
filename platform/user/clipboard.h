// The clipboard. Text (CF_TEXT) is cp1251 bytes ending in a zero, as the program keeps all its
// text; other formats are kept as given. The usual protocol holds: OpenClipboard, then
// EmptyClipboard (which makes the opener the owner) and SetClipboardData, whose memory then
// belongs to the clipboard, or GetClipboardData, whose memory the reader only looks at; then
// CloseClipboard.
//
// A presenter that shares the clipboard with other programs installs a ClipboardBridge: text
// the program puts there is offered outside when the clipboard closes, and while another
// program owns the clipboard, reading CF_TEXT takes that program's text through the bridge.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/user/global_memory.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_UNICODETEXT = 13;

// Fails while the clipboard is open already (the same window may open it again).
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// nullptr for delayed rendering is not supported (ERROR_INVALID_PARAMETER).
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();

// The clipboard's text, opening and closing it around the call: empty when it holds none or
// cannot be opened. Setting it makes `owner` the owner; false when it cannot be opened.
std::string GetClipboardText(HWND owner);
bool SetClipboardText(HWND owner, std::string_view text);

class ClipboardBridge {
public:
    virtual ~ClipboardBridge() = default;
    // The program's new clipboard text, cp1251.
    virtual void Offer(const std::string& text) = 0;
    // The text another program holds, cp1251; nothing when it has none.
    virtual std::optional<std::string> Take() = 0;
};
// nullptr removes the bridge.
void SetClipboardBridge(ClipboardBridge* bridge);
// Another program took the clipboard: what the program put there is gone. GUI thread.
void ClipboardTakenOutside();

namespace detail {
void ResetClipboard();
}

}  // namespace win
