#include "tests/platform/display/x11_grab.h"

#include <X11/Xatom.h>
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

std::string XPropertyText(_XDisplay* dpy, unsigned long window, const char* property) {
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(dpy, window, XInternAtom(dpy, property, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &n, &after, &data) == Success &&
        data) {
        if (format == 8) {
            out.assign(reinterpret_cast<char*>(data), n);
        } else if (format == 32 && type == XA_ATOM && n > 0) {
            char* name = XGetAtomName(dpy, reinterpret_cast<Atom*>(data)[0]);
            out = name;
            XFree(name);
        } else if (format == 32 && n > 0) {
            out = std::to_string(reinterpret_cast<long*>(data)[0]);
        }
    }
    if (data) XFree(data);
    return out;
}

}  // namespace display
