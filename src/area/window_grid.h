#pragma once
// WindowGrid: the window the user sees at every third pixel of the screen, sampled once when the
// window picker opens. Cell (row r, column c) holds the window at screen point (3c, 3r); there
// are screen width / 3 columns and screen height / 3 rows, stored row by row. A point is looked
// up by the cell index (y / 3) * columns + x / 3, so the one or two rightmost pixel columns of a
// screen whose width is not a multiple of 3 fall on the first cell of the next row, and a point
// below the last full row has no window.
// Thread contract: built and read on one thread.
#include "platform/core/types.h"

#include <cstdint>
#include <vector>

namespace area {

// A top-level window as the user sees it: its id and its screen rectangle.
struct GridWindow {
    std::uint64_t id = 0;
    platform::Rect rect;
};

class WindowGrid {
public:
    static constexpr int kStep = 3;

    // `topDown` lists the visible top-level windows, top-most first.
    WindowGrid(int screenWidth, int screenHeight, std::vector<GridWindow> topDown);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // The cell index of a point; -1 past the last cell (or before the first).
    long long IndexAt(int x, int y) const;
    // The window of a point; null when there is none.
    const GridWindow* WindowAt(int x, int y) const;
    // The window of a cell; null when none covers its point.
    const GridWindow* Cell(long long index) const;

private:
    int columns_, rows_;
    std::vector<GridWindow> windows_;
    std::vector<std::int32_t> cells_;  // index into windows_, -1 for none
};

}  // namespace area
