// The values a recording starts with: frame rate and area brought into range.
#include "recording/start_limits.h"

#include <gtest/gtest.h>

using namespace recording;

namespace {

TEST(StartLimits, FrameRateStaysWithinOneToAHundred) {
    struct Case {
        int rate, used;
    } cases[] = {{-2147483647 - 1, 1}, {-1, 1}, {0, 1}, {1, 1}, {30, 30},
                 {100, 100}, {101, 100}, {100000, 100}, {2147483647, 100}};
    for (const Case& c : cases) EXPECT_EQ(ClampFrameRate(c.rate), c.used) << c.rate;
}

TEST(StartLimits, AnAreaKeepsWhatLiesOnTheScreenOrIsMovedOntoIt) {
    struct Case {
        Area area;
        int screenWidth, screenHeight;
        Area fitted;
    } cases[] = {
        {{10, 10, 100, 100}, 640, 480, {10, 10, 100, 100}},
        {{600, 400, 100, 100}, 640, 480, {600, 400, 40, 80}},
        {{-30, -40, 100, 100}, 640, 480, {0, 0, 70, 60}},
        {{0, 100, 653, 99999}, 640, 480, {0, 100, 640, 380}},
        {{2147483000, 0, 2000, 100}, 640, 480, {0, 0, 640, 100}},  // no overflow
        {{630, 0, 100, 100}, 640, 480, {540, 0, 100, 100}},        // 10 left: moved
        {{626, 0, 100, 100}, 640, 480, {540, 0, 100, 100}},        // 14 left: moved
        {{625, 0, 100, 100}, 640, 480, {625, 0, 15, 100}},         // 15 left: kept
        {{-5000, -5000, 20, 20}, 640, 480, {0, 0, 20, 20}},
        {{5, 5, 100, 100}, 0, 0, {5, 5, 100, 100}},                // screen unknown
    };
    for (const Case& c : cases) {
        Area got = ClampAreaToScreen(c.area, c.screenWidth, c.screenHeight);
        EXPECT_EQ(got, c.fitted) << c.area.left << "," << c.area.top << " " << c.area.width << "x"
                                 << c.area.height << " -> " << got.left << "," << got.top << " "
                                 << got.width << "x" << got.height;
    }
}

}  // namespace
