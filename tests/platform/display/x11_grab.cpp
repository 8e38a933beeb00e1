#include "tests/platform/display/x11_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace display {

Rgb GrabX(_XDisplay* dpy, unsigned long window, int x, int y, int width, int height) {
    Rgb out;
    if (width <= 0 || height <= 0) return out;
    XImage* img = XGetImage(dpy, window, x, y, unsigned(width), unsigned(height), AllPlanes,
                            ZPixmap);
    if (img == nullptr) return out;
    out.width = width;
    out.height = height;
    out.pixels.reserve(size_t(width) * size_t(height) * 3);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const unsigned long p = XGetPixel(img, col, row);
            out.pixels.push_back((unsigned char)((p & img->red_mask) >> 16));
            out.pixels.push_back((unsigned char)((p & img->green_mask) >> 8));
            out.pixels.push_back((unsigned char)(p & img->blue_mask));
        }
    XDestroyImage(img);
    return out;
}

}  // namespace display
