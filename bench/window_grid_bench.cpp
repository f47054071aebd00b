// Cost of opening the window picker on a full-HD screen: building the grid of 640 x 360 cells
// from 40 stacked windows, against asking for the top-most window at every cell point in turn
// (a rectangle test against each window per cell, what a point-by-point lookup costs without
// even a server round trip), and, on a display, the stacking query itself.
// The last line reads
//   window_grid: grid_us=N per_point_us=N ratio=R stack_query_us=N|none windows=N
#include "area/window_grid.h"
#include "platform/x11/window_stack.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

namespace {

double MicrosPerRun(int runs, const std::function<void()>& work) {
    work();  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) work();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

}  // namespace

int main() {
    constexpr int kWidth = 1920, kHeight = 1080;
    std::mt19937 random(7);
    std::vector<area::GridWindow> windows;
    for (int i = 0; i < 40; ++i) {
        const int w = 200 + static_cast<int>(random() % 1200), h = 150 + static_cast<int>(random() % 700);
        const int x = static_cast<int>(random() % (kWidth - 100)) - 50;
        const int y = static_cast<int>(random() % (kHeight - 100)) - 30;
        windows.push_back({static_cast<std::uint64_t>(i + 1), {x, y, x + w, y + h}});
    }
    windows.push_back({99, {0, 0, kWidth, kHeight}});  // a desktop under everything

    std::uint64_t sink = 0;
    const double grid = MicrosPerRun(20, [&] {
        area::WindowGrid g(kWidth, kHeight, windows);
        sink += g.WindowAt(kWidth / 2, kHeight / 2)->id;
    });
    const double perPoint = MicrosPerRun(5, [&] {
        for (int y = 0; y + 3 <= kHeight; y += 3)
            for (int x = 0; x + 3 <= kWidth; x += 3)
                for (const area::GridWindow& w : windows)
                    if (x >= w.rect.left && x < w.rect.right && y >= w.rect.top && y < w.rect.bottom) {
                        sink += w.id;
                        break;
                    }
    });
    std::printf("window_grid: grid_us=%.0f per_point_us=%.0f ratio=%.1f ", grid, perPoint,
                perPoint / grid);
    if (std::getenv("DISPLAY")) {
        std::size_t found = 0;
        const double query = MicrosPerRun(10, [&] { found = platform::QueryTopLevelWindows({}).size(); });
        std::printf("stack_query_us=%.0f windows=%zu\n", query, found);
    } else {
        std::printf("stack_query_us=none windows=0\n");
    }
    return sink == 0;
}
