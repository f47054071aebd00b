#include "support/x11_keys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace x11keys {

namespace {

bool grabRefused = false;
int NoteError(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess) grabRefused = true;
    return 0;
}

}  // namespace

bool PressChord(const std::vector<std::uint32_t>& keysyms) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    std::vector<KeyCode> codes;
    for (std::uint32_t sym : keysyms) codes.push_back(XKeysymToKeycode(display, sym));
    for (KeyCode code : codes) XTestFakeKeyEvent(display, code, True, 0);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

bool ToggleLock(std::uint32_t keysym) { return PressChord({keysym}); }

OtherClient::OtherClient() : display_(XOpenDisplay(nullptr)) {}

OtherClient::~OtherClient() {
    if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool OtherClient::Grab(std::uint32_t keysym, unsigned xModifiers) {
    auto* display = static_cast<Display*>(display_);
    if (!display) return false;
    XSync(display, False);
    grabRefused = false;
    auto previous = XSetErrorHandler(NoteError);
    XGrabKey(display, XKeysymToKeycode(display, keysym), xModifiers, DefaultRootWindow(display),
             True, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    XSetErrorHandler(previous);
    return !grabRefused;
}

void OtherClient::Ungrab(std::uint32_t keysym, unsigned xModifiers) {
    auto* display = static_cast<Display*>(display_);
    if (!display) return;
    XUngrabKey(display, XKeysymToKeycode(display, keysym), xModifiers, DefaultRootWindow(display));
    XSync(display, False);
}

}  // namespace x11keys

namespace x11keys {

bool ClickAt(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XTestFakeMotionEvent(display, -1, x, y, 0);
    XSync(display, False);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

}  // namespace x11keys

namespace x11keys {

ModifierMapping::ModifierMapping(std::uint32_t keysym, int index)
    : display_(XOpenDisplay(nullptr)) {
    auto* display = static_cast<Display*>(display_);
    if (!display) return;
    XModifierKeymap* previous = XGetModifierMapping(display);
    previous_ = previous;
    XModifierKeymap* changed = XGetModifierMapping(display);
    changed = XInsertModifiermapEntry(changed, XKeysymToKeycode(display, keysym), index);
    applied_ = XSetModifierMapping(display, changed) == MappingSuccess;
    XFreeModifiermap(changed);
    XSync(display, False);
}

ModifierMapping::~ModifierMapping() {
    auto* display = static_cast<Display*>(display_);
    if (!display) return;
    if (applied_) XSetModifierMapping(display, static_cast<XModifierKeymap*>(previous_));
    if (previous_) XFreeModifiermap(static_cast<XModifierKeymap*>(previous_));
    XSync(display, False);
    XCloseDisplay(display);
}

}  // namespace x11keys
