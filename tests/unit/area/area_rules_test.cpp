// The rules of choosing the area, apart from any window.
#include "area/area_rules.h"
#include "area/window_grid.h"

#include <gtest/gtest.h>

namespace {

using area::AreaBoxes;
using area::Box;

TEST(ClampChangedBox, KeepsTheAreaOnTheScreenTestingOnlyTheBoxThatChanged) {
    struct Case {
        const char* name;
        AreaBoxes typed;
        Box changed;
        AreaBoxes expected;
    } cases[] = {
        {"left past the right edge", {1500, 0, 800, 600}, Box::Left, {1120, 0, 800, 600}},
        {"negative left", {-5, 0, 800, 600}, Box::Left, {1120, 0, 800, 600}},
        {"left that just fits", {1120, 0, 800, 600}, Box::Left, {1120, 0, 800, 600}},
        {"top past the bottom edge", {0, 900, 800, 200}, Box::Top, {0, 880, 800, 200}},
        {"negative top", {0, -1, 800, 200}, Box::Top, {0, 880, 800, 200}},
        {"width too large", {300, 0, 1700, 600}, Box::Width, {300, 0, 1620, 600}},
        {"negative width", {300, 0, -10, 600}, Box::Width, {300, 0, 1620, 600}},
        {"height too large", {0, 100, 800, 1000}, Box::Height, {0, 100, 800, 980}},
        {"negative height", {0, 100, 800, -3}, Box::Height, {0, 100, 800, 980}},
        // Only the changed box is tested: a width already too large stays when Top changes.
        {"other boxes untouched", {1500, 10, 800, 600}, Box::Top, {1500, 10, 800, 600}},
        {"zero width is kept", {300, 0, 0, 600}, Box::Width, {300, 0, 0, 600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(area::ClampChangedBox(c.typed, c.changed, 1920, 1080), c.expected) << c.name;
}

TEST(PickedRectToBoxes, CutsThePickedWindowAtTheScreenEdges) {
    struct Case {
        const char* name;
        platform::Rect picked;
        AreaBoxes expected;
    } cases[] = {
        {"inside", {100, 120, 502, 445}, {100, 120, 402, 325}},
        {"beyond the right edge", {1800, 100, 2100, 400}, {1800, 100, 120, 300}},
        {"beyond the bottom edge", {10, 1000, 210, 1300}, {10, 1000, 200, 80}},
        {"above and left of the origin", {-8, -30, 300, 200}, {0, 0, 300, 200}},
        {"wholly left of the screen", {-500, 10, -100, 300}, {0, 0, 1920, 1080}},
        {"no window", {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(area::PickedRectToBoxes(c.picked, 1920, 1080), c.expected) << c.name;
}

TEST(DragRectangle, NormalisesTheDragAndTakesAFrozenPointerForTheFarCorner) {
    struct Case {
        const char* name;
        platform::Point press, pointer, release;
        platform::Rect expected;
    } cases[] = {
        {"right and down", {100, 100}, {400, 300}, {400, 300}, {100, 100, 400, 300}},
        {"up and left", {400, 300}, {100, 100}, {100, 100}, {100, 100, 400, 300}},
        {"click without a drag", {250, 260}, {250, 260}, {250, 260}, {250, 260, 250, 260}},
        // Shift held from (250, 200) on: the release point does not count to the right and down.
        {"frozen right and down", {100, 100}, {250, 200}, {400, 300}, {100, 100, 250, 200}},
        // Up and left the release point itself is the near corner.
        {"frozen up and left", {400, 300}, {300, 250}, {100, 100}, {100, 100, 400, 300}},
        {"left and down", {400, 100}, {100, 300}, {100, 300}, {100, 100, 400, 300}},
    };
    for (const Case& c : cases) {
        const platform::Rect r = area::DragRectangle(c.press, c.pointer, c.release);
        EXPECT_EQ((AreaBoxes{r.left, r.top, r.Width(), r.Height()}),
                  (AreaBoxes{c.expected.left, c.expected.top, c.expected.Width(),
                             c.expected.Height()}))
            << c.name;
    }
}

TEST(HelpBox, MovesAwayFromThePointerAndTheFarEdgeWins) {
    struct Case {
        bool before;
        int x, y;
        bool after;
    } cases[] = {
        {false, 190, 500, true},    // near the left edge
        {false, 500, 130, true},    // near the top edge
        {false, 191, 131, false},   // just outside: stays
        {true, 800, 500, true},     // middle of the screen: stays where it is
        {true, 1730, 500, false},   // near the right edge
        {true, 800, 950, false},    // near the bottom edge
        {false, 100, 1000, false},  // near the left and the bottom edge: the second test wins
    };
    for (const Case& c : cases)
        EXPECT_EQ(area::HelpBoxAtBottomRight(c.before, c.x, c.y, 1920, 1080), c.after)
            << c.x << "," << c.y;
}

TEST(ParseBoxInteger, AcceptsOnlyAWholeDecimalInteger) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"12", 12},       {" -7 ", -7},      {"+5", 5},          {"0", 0},
        {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt}, {"12a", std::nullopt},
        {"-", std::nullopt}, {"1.5", std::nullopt}, {"1 2", std::nullopt},
        {"2147483647", 2147483647}, {"2147483648", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(area::ParseBoxInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatPointerLine, FillsTwoNumbersAndLeavesOtherTextAlone) {
    EXPECT_EQ(area::FormatPointerLine("Mouse: x = %d; y = %d", 5, 1079), "Mouse: x = 5; y = 1079");
    EXPECT_EQ(area::FormatPointerLine("x %d", 5, 7), "x 5");
    EXPECT_EQ(area::FormatPointerLine("%s %n %d%d%d", 1, 2), "%s %n 12%d");
}

// A grid of windows given top-most first.
TEST(WindowGrid, SamplesEveryThirdPixelRowByRow) {
    const area::GridWindow left{1, {0, 0, 10, 768}}, right{2, {10, 0, 1366, 768}};
    area::WindowGrid grid(1366, 768, {left, right});
    EXPECT_EQ(grid.Columns(), 455);
    EXPECT_EQ(grid.Rows(), 256);
    // Point (3c, 3r) in [left, right): x 9 is in the left window, x 12 no longer.
    EXPECT_EQ(grid.WindowAt(9, 0)->id, 1u);
    EXPECT_EQ(grid.WindowAt(11, 0)->id, 1u);  // cell 3 samples x 9
    EXPECT_EQ(grid.WindowAt(12, 0)->id, 2u);
    // x 1365 on a 1366-pixel screen is past the last column: the next row's first cell.
    EXPECT_EQ(grid.IndexAt(1365, 0), 455);
    EXPECT_EQ(grid.WindowAt(1365, 0)->id, 1u);
    EXPECT_EQ(grid.IndexAt(1364, 0), 454);
    EXPECT_EQ(grid.WindowAt(1364, 0)->id, 2u);
}

TEST(WindowGrid, APointBelowTheLastFullRowHasNoWindow) {
    area::WindowGrid grid(1366, 767, {{7, {0, 0, 1366, 767}}});
    EXPECT_EQ(grid.Rows(), 255);
    EXPECT_NE(grid.WindowAt(100, 764), nullptr);
    EXPECT_EQ(grid.WindowAt(100, 765), nullptr);
    EXPECT_EQ(grid.WindowAt(0, 766), nullptr);
    // The last row's overflow pixels land past the end too.
    EXPECT_EQ(grid.WindowAt(1365, 762), nullptr);
}

TEST(WindowGrid, TheTopMostWindowWinsAndUncoveredPointsHaveNone) {
    const area::GridWindow top{1, {100, 100, 200, 200}}, below{2, {0, 0, 400, 400}},
        offScreen{3, {-50, 500, 30, 1200}};
    area::WindowGrid grid(1920, 1080, {top, below, offScreen});
    struct Case {
        int x, y;
        std::uint64_t id;  // 0: none
    } cases[] = {{150, 150, 1}, {99, 150, 2}, {201, 150, 2}, {0, 0, 2},
                 {500, 500, 0}, {0, 600, 3}, {27, 1077, 3}, {30, 1077, 0}};
    for (const Case& c : cases) {
        const area::GridWindow* w = grid.WindowAt(c.x, c.y);
        EXPECT_EQ(w ? w->id : 0u, c.id) << c.x << "," << c.y;
    }
}

}  // namespace
