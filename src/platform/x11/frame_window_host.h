#pragma once
// The window behind the flashing frame: a hidden, top-most tool pop-up at the screen's origin
// whose visible part is a region given by rectangles. Mouse input passes through it to the
// windows below.
// Thread contract: created and destroyed on the user-interface thread. SetRegion, Fill, Show and
// Hide may be called from any thread: called elsewhere, they are queued to the user-interface
// thread and return at once; calls still queued when the window goes away are dropped. The host
// outlives every thread that calls it.
#include "platform/core/types.h"

#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

namespace platform {

class FrameWindowHost {
public:
    virtual ~FrameWindowHost() = default;
    // Window region in window (= screen) coordinates; rectangles are right/bottom exclusive.
    virtual void SetRegion(std::vector<Rect> rects) = 0;
    // Paints `rect` in `colour` (0x00BBGGRR); it stays painted until the next Fill.
    virtual void Fill(Rect rect, std::uint32_t colour) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

// A real window of width × height pixels at (0, 0). On the user-interface thread only.
std::unique_ptr<FrameWindowHost> CreateFrameWindowHost(int width, int height);
// The widget of a host made by CreateFrameWindowHost (for tests), else null.
QWidget* FrameWindowWidget(FrameWindowHost* host);

}  // namespace platform
