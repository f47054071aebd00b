#include "area/window_grid.h"

#include <algorithm>

namespace area {

WindowGrid::WindowGrid(int screenWidth, int screenHeight, std::vector<GridWindow> topDown)
    : columns_(std::max(screenWidth, 0) / kStep),
      rows_(std::max(screenHeight, 0) / kStep),
      windows_(std::move(topDown)),
      cells_(static_cast<std::size_t>(columns_) * rows_, -1) {
    // Painted bottom-most first, so each cell ends with the top-most window over its point.
    for (std::size_t i = windows_.size(); i-- > 0;) {
        const platform::Rect& r = windows_[i].rect;
        // Cells whose point (3c, 3r) lies in [left, right) x [top, bottom).
        const int c0 = std::max(0, (std::max(r.left, 0) + kStep - 1) / kStep);
        const int r0 = std::max(0, (std::max(r.top, 0) + kStep - 1) / kStep);
        const int c1 = std::min(columns_, r.right <= 0 ? 0 : (r.right + kStep - 1) / kStep);
        const int r1 = std::min(rows_, r.bottom <= 0 ? 0 : (r.bottom + kStep - 1) / kStep);
        for (int row = r0; row < r1; ++row)
            std::fill_n(cells_.begin() + static_cast<std::ptrdiff_t>(row) * columns_ + c0,
                        std::max(0, c1 - c0), static_cast<std::int32_t>(i));
    }
}

long long WindowGrid::IndexAt(int x, int y) const {
    if (x < 0 || y < 0) return -1;
    const long long index = static_cast<long long>(y / kStep) * columns_ + x / kStep;
    return index < static_cast<long long>(cells_.size()) ? index : -1;
}

const GridWindow* WindowGrid::Cell(long long index) const {
    if (index < 0 || index >= static_cast<long long>(cells_.size())) return nullptr;
    const std::int32_t w = cells_[static_cast<std::size_t>(index)];
    return w < 0 ? nullptr : &windows_[static_cast<std::size_t>(w)];
}

const GridWindow* WindowGrid::WindowAt(int x, int y) const { return Cell(IndexAt(x, y)); }

}  // namespace area
