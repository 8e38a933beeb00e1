// Global memory handles, the currency of the clipboard: blocks made by GlobalAlloc, reached by
// GlobalLock. Handles are never given out twice; a bad or freed handle is refused, not followed.
// Safe from any thread.
#pragma once

#include <cstddef>

#include "platform/user/win_types.h"

namespace win {

using HGLOBAL = HANDLE;

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// nullptr (ERROR_NOT_ENOUGH_MEMORY) beyond 256 MB. The block is always zeroed.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// The block's first byte; the lock count only counts.
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
size_t GlobalSize(HGLOBAL mem);
// nullptr when freed, else the handle back.
HGLOBAL GlobalFree(HGLOBAL mem);

}  // namespace win
