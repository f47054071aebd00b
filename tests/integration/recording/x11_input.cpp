#include "x11_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace x11input {

bool WarpPointer(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

bool ClickAt(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

}  // namespace x11input
