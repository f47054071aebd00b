#include "recording/start_limits.h"

#include <algorithm>

namespace recording {

namespace {

// One direction: [start, start + size) against [0, screen).
void Fit(int& start, int& size, int screen) {
    if (screen <= 0) return;
    const long long end = static_cast<long long>(start) + size;
    const int visibleStart = std::max(start, 0);
    const int visibleEnd = static_cast<int>(std::min<long long>(end, screen));
    if (visibleEnd - visibleStart >= std::min(kMinimumSide, screen)) {
        start = visibleStart;
        size = visibleEnd - visibleStart;
        return;
    }
    size = std::min(size, screen);
    start = std::clamp(start, 0, screen - size);
}

}  // namespace

int ClampFrameRate(int rate) { return std::clamp(rate, kMinFrameRate, kMaxFrameRate); }

Area ClampAreaToScreen(const Area& area, int screenWidth, int screenHeight) {
    Area fitted = area;
    Fit(fitted.left, fitted.width, screenWidth);
    Fit(fitted.top, fitted.height, screenHeight);
    return fitted;
}

}  // namespace recording
