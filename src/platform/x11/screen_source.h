#pragma once
// Reading the screen: rectangles of pixels, the pointer position and the standard arrow cursor.
// Thread contract: a ScreenSource is opened, used and destroyed by one thread (it holds that
// thread's own display connection). ArrowCursor() may be called from any thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct Point {
    int x = 0, y = 0;
};

// A cursor image: premultiplied ARGB pixels, rows top-down, and its hotspot.
struct CursorImage {
    int width = 0, height = 0;
    int xHotspot = 0, yHotspot = 0;
    std::vector<std::uint32_t> argb;
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // Copies the screen rectangle (left, top, width, height) into 24-bit rows stored bottom-up
    // (blue, green, red; `stride` bytes a row, bottom row first). Pixels outside the screen read
    // as black; row padding is zeroed. False when nothing could be read (the rows are then black).
    virtual bool Grab(int left, int top, int width, int height, std::uint8_t* rows,
                      int stride) = 0;
    // Pointer position in screen coordinates.
    virtual Point PointerPosition() = 0;
};

// The display's screen on a connection of the calling thread's own, or null when there is no
// display. `note` receives one line saying how the screen is read (MIT-SHM, or XGetImage and why);
// `allowShm` false reads with XGetImage only.
std::unique_ptr<ScreenSource> OpenScreenSource(std::string* note = nullptr, bool allowShm = true);

// The standard arrow: the cursor theme's "left_ptr", else a built-in arrow with hotspot (0, 0).
// Loaded once.
const CursorImage& ArrowCursor();
CursorImage BuiltInArrow();

}  // namespace platform
