#pragma once
// X errors on the recorder's own display connections: handled and logged, never fatal. Xlib's
// default handler ends the process on any error; the handler installed here logs the error and
// lets the failing call return its failure instead. A thread that expects an error on its own
// connection (a grab beyond a screen that has shrunk, a shared-memory attach the server refuses)
// traps it with XErrorTrap, so it is counted there instead of logged.
// Thread contract: everything here may be called from any thread. The handler runs on the
// thread whose Xlib call received the error.
#include <string>

struct _XDisplay;

namespace platform {

using XLogFunction = void (*)(const char* line);

// Installs the process-wide Xlib error handler, replacing whatever the toolkit or Xlib set, and
// makes `log` (when not null) the receiver of the log lines of this module. Call after the
// toolkit has opened its own display connection.
void InstallXErrorHandler(XLogFunction log = nullptr);

// At most this many X errors are logged one by one; one more line says that the rest are not.
constexpr int kMaxLoggedXErrors = 20;

// One line to the log given to InstallXErrorHandler (nothing before that).
void LogXLine(const std::string& line);

// Turns an error text of the X server into one log line ("X error ... ignored").
std::string XErrorLine(const char* connection, const char* text, int code, int major, int minor);

// While it lives, errors raised on `display` by calls of this thread are counted here and not
// logged. Traps nest: the innermost one counts.
class XErrorTrap {
public:
    explicit XErrorTrap(_XDisplay* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Errors seen so far (after an XSync on the display, every error of the calls made before).
    int Count() const { return count_; }
    int LastCode() const { return lastCode_; }

private:
    friend int HandleXError(_XDisplay*, void*);
    _XDisplay* display_;
    XErrorTrap* outer_;
    int count_ = 0;
    int lastCode_ = 0;
};

}  // namespace platform
