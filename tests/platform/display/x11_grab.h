// What an X server shows in a rectangle of a window (the root window for the whole desktop), as
// RGB rows like the composed screen's capture, for comparing the two.
#pragma once

#include "platform/display/screenshot.h"

struct _XDisplay;

namespace display {

// Empty when the server gives no picture (e.g. the rectangle lies outside the window).
Rgb GrabX(_XDisplay* dpy, unsigned long window, int x, int y, int width, int height);

}  // namespace display
