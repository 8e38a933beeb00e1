// What an X server shows in a rectangle of a window (the root window for the whole desktop), as
// RGB rows like the composed screen's capture, for comparing the two; and what it holds in a
// window's properties.
#pragma once

#include <string>

#include "platform/display/screenshot.h"

struct _XDisplay;

namespace display {

// Empty when the server gives no picture (e.g. the rectangle lies outside the window).
Rgb GrabX(_XDisplay* dpy, unsigned long window, int x, int y, int width, int height);

// A text property, or the first item of an atom-valued (its name) or other 32-bit one, as the
// server holds it; empty when it is unset.
std::string XPropertyText(_XDisplay* dpy, unsigned long window, const char* property);

}  // namespace display
