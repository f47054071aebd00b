#pragma once
// The main window's handle, kept process-wide once the window has initialised (0 before and
// after it); the pages and overlays send their status lines and frame messages to it.
#include "platform/core/types.h"

#include <atomic>

namespace app {

inline std::atomic<platform::WindowHandle> MainWindowHandle{0};

}  // namespace app
