#include "platform/x11/x_errors.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>

namespace platform {

int HandleXError(_XDisplay* display, void* eventData);

namespace {

std::atomic<XLogFunction> logFunction{nullptr};
std::atomic<int> errorsLogged{0};
thread_local XErrorTrap* innermostTrap = nullptr;

int OnXError(Display* display, XErrorEvent* event) {
    return HandleXError(display, event);
}

}  // namespace

int HandleXError(_XDisplay* display, void* eventData) {
    const auto* event = static_cast<const XErrorEvent*>(eventData);
    for (XErrorTrap* trap = innermostTrap; trap; trap = trap->outer_) {
        if (trap->display_ == display) {
            ++trap->count_;
            trap->lastCode_ = event->error_code;
            return 0;
        }
    }
    const int n = ++errorsLogged;
    if (n > kMaxLoggedXErrors + 1) return 0;
    if (n == kMaxLoggedXErrors + 1) {
        LogXLine("Further X errors are not logged");
        return 0;
    }
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    LogXLine(XErrorLine("an X connection", text, event->error_code, event->request_code,
                        event->minor_code));
    return 0;
}

void InstallXErrorHandler(XLogFunction log) {
    if (log) logFunction = log;
    XSetErrorHandler(OnXError);
}

void LogXLine(const std::string& line) {
    if (XLogFunction log = logFunction.load()) log(line.c_str());
}

std::string XErrorLine(const char* connection, const char* text, int code, int major, int minor) {
    char line[320];
    std::snprintf(line, sizeof line, "X error on %s ignored: %s (code %d, request %d.%d)",
                  connection, text && *text ? text : "unknown", code, major, minor);
    return line;
}

XErrorTrap::XErrorTrap(_XDisplay* display) : display_(display), outer_(innermostTrap) {
    // The handler must be ours for the trap to see anything; installing it again is harmless.
    XSetErrorHandler(OnXError);
    innermostTrap = this;
}

XErrorTrap::~XErrorTrap() { innermostTrap = outer_; }

}  // namespace platform
