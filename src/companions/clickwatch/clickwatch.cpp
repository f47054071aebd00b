#include "companions/clickwatch/clickwatch.h"

#include "platform/core/messages.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr platform::WPARAM MK_LBUTTON = 0x1;
constexpr platform::WPARAM MK_RBUTTON = 0x2;

// One installed hook: its own display connection and the thread that reads it.
class Hook {
public:
    Hook(Display* display, platform::WindowHandle window) : display_(display), window_(window) {
        if (pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { Run(); });
    }
    ~Hook() {
        if (wake_[1] >= 0) {
            char c = 0;
            (void)!write(wake_[1], &c, 1);
        }
        thread_.join();
        if (wake_[0] >= 0) close(wake_[0]);
        if (wake_[1] >= 0) close(wake_[1]);
        XCloseDisplay(display_);
    }

private:
    void Run() {
        int xiOpcode = 0, event = 0, error = 0;
        XQueryExtension(display_, "XInputExtension", &xiOpcode, &event, &error);
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
        for (;;) {
            while (XPending(display_)) {
                XEvent ev;
                XNextEvent(display_, &ev);
                XGenericEventCookie* cookie = &ev.xcookie;
                if (cookie->type != GenericEvent || cookie->extension != xiOpcode ||
                    !XGetEventData(display_, cookie))
                    continue;
                if (cookie->evtype == XI_RawButtonPress) {
                    auto* raw = static_cast<XIRawEvent*>(cookie->data);
                    if (raw->detail == 1)
                        platform::PostMessage(window_, platform::WM_LBUTTONDOWN, MK_LBUTTON, 0);
                    else if (raw->detail == 3)
                        platform::PostMessage(window_, platform::WM_RBUTTONDOWN, MK_RBUTTON, 0);
                }
                XFreeEventData(display_, cookie);
            }
            if (poll(fds, wake_[0] >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) return;
            if (wake_[0] >= 0 && (fds[1].revents & POLLIN)) return;
        }
    }

    Display* display_;
    platform::WindowHandle window_;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

std::mutex hooksMutex;
std::map<platform::WindowHandle, std::unique_ptr<Hook>> hooks;

}  // namespace

int SetHook(platform::WindowHandle window) {
    std::lock_guard lock(hooksMutex);
    if (hooks.count(window)) return 1;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    int opcode = 0, event = 0, error = 0;
    int major = 2, minor = 2;  // 2.1 and later receive raw events also while another client grabs
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return 0;
    }
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, XI_RawButtonPress);
    XIEventMask eventMask{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(display, DefaultRootWindow(display), &eventMask, 1);
    XSync(display, False);
    hooks[window] = std::make_unique<Hook>(display, window);
    return 1;
}

void UninstallMyHook(platform::WindowHandle window) {
    std::unique_ptr<Hook> hook;
    {
        std::lock_guard lock(hooksMutex);
        auto it = hooks.find(window);
        if (it == hooks.end()) return;
        hook = std::move(it->second);
        hooks.erase(it);
    }
}
