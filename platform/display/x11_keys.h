// What an X key event means to the windowing layer: the virtual key of the key pressed and the
// cp1251 character it types. Kept apart from the connection so it can be checked without a
// display.
#pragma once

#include <cstdint>

namespace display {

// The virtual key (VK_*) for an X keysym of the key's base level, 0 for keys without one.
unsigned VirtualKeyFor(unsigned long keysym);
// The character a keysym types, as Unicode; 0 for none.
char32_t KeysymToUnicode(unsigned long keysym);
// The cp1251 byte it types; 0 for none or a character cp1251 lacks.
unsigned char KeysymToCp1251(unsigned long keysym);

}  // namespace display
