#pragma once
// The top-level windows of the screen as X11 stacks them: for each viewable child of the root
// window (a window manager's frame round its client, or an unmanaged window) its id and the
// screen rectangle the user sees, border and decorations included. One stacking query and one
// pipelined batch of attribute and geometry requests, whatever the number of windows.
// Thread contract: any thread; each call opens and closes a display connection of its own.
#include "platform/core/types.h"

#include <cstdint>
#include <vector>

namespace platform {

struct StackedWindow {
    std::uint64_t id = 0;
    Rect rect;  // right/bottom exclusive
};

// Viewable input-output children of the root window, top-most first. A child that is one of
// `skip` or holds one of them (a frame round such a client) is left out. Empty without a display.
std::vector<StackedWindow> QueryTopLevelWindows(const std::vector<std::uint64_t>& skip);

}  // namespace platform
