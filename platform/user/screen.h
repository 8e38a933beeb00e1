// The virtual screen: one 32-bit bitmap composed from the visible top-level windows, bottom to
// top, each through its window region. Changes mark areas damaged; Compose brings the bitmap up
// to date for them, and presenters read it and the damaged rectangles. Drawing on the desktop
// DC lasts until the next composition, but for pixels inverted there (R2_NOT): those stay
// inverted over the composed windows until inverted again, laid on last like the caret.
#pragma once

#include <vector>

#include "platform/gdi/win_types.h"
#include "platform/user/win_types.h"

namespace win {

// The screen bitmap (device format, the size of the screen), composed up to date.
HBITMAP ComposeScreen();
// Damaged rectangles since the last call, merged; the presenter repaints only these.
std::vector<RECT> TakeScreenDamage();

namespace detail {
inline HWND const kDesktopDCOwner = reinterpret_cast<HWND>(uintptr_t(0x7D0001));
HDC MakeDesktopDC();
// A desktop DC was given back: what was inverted on it stays inverted (see screen.cpp).
void DesktopDCReleased();
void DamageScreen(const RECT& r);
void ClearScreenState();
}  // namespace detail

}  // namespace win
