#include "fakes.h"
#include "recording/flashing_wnd.h"

#include <gtest/gtest.h>
#include <set>

using namespace recording;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Rasterise(const std::vector<platform::Rect>& rects) {
    Pixels pixels;
    for (const platform::Rect& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) pixels.insert({x, y});
    return pixels;
}

bool Covers(const Pixels& p, int x, int y) { return p.count({x, y}) != 0; }

}  // namespace

TEST(BracketRegion, FourCornersJustOutsideTheArea) {
    Pixels p = Rasterise(BracketRegion(100, 100, 300, 200));
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    for (auto [x, y] : p) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        ASSERT_FALSE(x >= 100 && x <= 399 && y >= 100 && y <= 299) << "covers the area at " << x << "," << y;
    }
    EXPECT_EQ(minX, 92);
    EXPECT_EQ(minY, 92);
    EXPECT_EQ(maxX, 406);
    EXPECT_EQ(maxY, 306);

    // Top-left bracket: x 92 to 115 on rows 92 to 99, rows 92 to 115 on columns 92 to 99.
    for (int y = 92; y <= 99; ++y)
        for (int x = 92; x <= 115; ++x) ASSERT_TRUE(Covers(p, x, y)) << x << "," << y;
    for (int y = 92; y <= 115; ++y)
        for (int x = 92; x <= 99; ++x) ASSERT_TRUE(Covers(p, x, y)) << x << "," << y;
    EXPECT_FALSE(Covers(p, 116, 95));
    EXPECT_FALSE(Covers(p, 95, 116));
    // Right and bottom sides are 7 pixels thick.
    EXPECT_TRUE(Covers(p, 406, 306));
    EXPECT_TRUE(Covers(p, 400, 306));
    EXPECT_FALSE(Covers(p, 250, 95));  // middle of the top side is open
    EXPECT_FALSE(Covers(p, 95, 200));  // middle of the left side is open
    // Bottom-right arms are 27 pixels long.
    EXPECT_TRUE(Covers(p, 380, 303));
    EXPECT_FALSE(Covers(p, 379, 303));
}

TEST(BracketRegion, SmallAreasNeverCoverTheArea) {
    for (int side : {15, 20, 35, 36, 37}) {
        Pixels p = Rasterise(BracketRegion(50, 60, side, side));
        EXPECT_FALSE(p.empty()) << side;
        for (auto [x, y] : p)
            ASSERT_FALSE(x >= 50 && x < 50 + side && y >= 60 && y < 60 + side) << side;
        EXPECT_TRUE(Covers(p, 42, 52)) << side;
    }
}

TEST(CFlashingWnd, PaintsTheWholeBracketRectangleOnceAnAreaIsSet) {
    std::vector<std::string> calls;
    auto host = std::make_unique<rectest::FakeFrameHost>(&calls);
    rectest::FakeFrameHost* fake = host.get();
    CFlashingWnd frame(1920, 1080, std::move(host));
    frame.PaintFrame(kFrameRed);
    EXPECT_TRUE(calls.empty()) << "nothing to paint before an area is set";

    frame.SetFrameArea(100, 100, 300, 200);
    frame.ShowFrame();
    frame.PaintFrame(kFrameRed);
    frame.HideFrame();
    EXPECT_EQ(calls, (std::vector<std::string>{"region", "show", "fill 92,92,407,307 0000FF", "hide"}));
    EXPECT_EQ(Rasterise(fake->region), Rasterise(BracketRegion(100, 100, 300, 200)));
}
