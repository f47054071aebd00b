#pragma once
// CFlashingWnd: four corner brackets just outside the recorded area, drawn by a top-most window
// whose region is cut down to the brackets, so the rest of the screen shows through and the
// mouse reaches the windows below. The brackets never cover the area itself.
// Thread contract: SetFrameArea, PaintFrame, ShowFrame and HideFrame are called from the
// user-interface thread and from the recording thread; the host queues the window work to the
// user-interface thread without making the caller wait. The stored area is guarded by a mutex.
#include "platform/core/types.h"
#include "platform/x11/frame_window_host.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace recording {

constexpr std::uint32_t kFrameRed = 0x0000FF;
constexpr std::uint32_t kFrameBeforeGrab = 0xB4FFFF;
constexpr std::uint32_t kFrameAfterGrab = 0x50FF00;

// The bracket region of an area, in screen coordinates (rectangles right/bottom exclusive).
std::vector<platform::Rect> BracketRegion(int left, int top, int width, int height);

class CFlashingWnd {
public:
    // `host` is the window; its size is the screen's less one pixel each way.
    CFlashingWnd(int screenWidth, int screenHeight, std::unique_ptr<platform::FrameWindowHost> host);
    // The real window, created hidden. On the user-interface thread only.
    static std::unique_ptr<CFlashingWnd> Create(int screenWidth, int screenHeight);

    void SetFrameArea(int left, int top, int width, int height);
    void PaintFrame(std::uint32_t colour);
    void ShowFrame();
    void HideFrame();

    platform::FrameWindowHost* Host() const { return host_.get(); }

private:
    std::mutex mutex_;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    int screenWidth_, screenHeight_;
    std::unique_ptr<platform::FrameWindowHost> host_;
};

}  // namespace recording
