// X errors on the recorder's own connections are logged and survived; a screen that shrinks
// under a running screen copy leaves the frames their size, black where there is no screen.
#include "platform/x11/screen_source.h"
#include "platform/x11/x_errors.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would change.
#include <X11/Xlib.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex linesMutex;
std::vector<std::string> lines;

void Capture(const char* line) {
    std::lock_guard lock(linesMutex);
    lines.emplace_back(line);
}

std::vector<std::string> Lines() {
    std::lock_guard lock(linesMutex);
    return lines;
}

int CountContaining(const std::vector<std::string>& all, const std::string& text) {
    int n = 0;
    for (const std::string& line : all) n += line.find(text) != std::string::npos;
    return n;
}

class XErrors : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        platform::InstallXErrorHandler(Capture);
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
    }
    // A request the server refuses: mapping a window that does not exist.
    void RefusedRequest() { XMapWindow(display_, 0x1); }

    Display* display_ = nullptr;
};

TEST_F(XErrors, AreTrappedOrLoggedAndTheProcessGoesOn) {
    const std::size_t before = Lines().size();
    {
        platform::XErrorTrap trap(display_);
        RefusedRequest();
        XSync(display_, False);
        EXPECT_EQ(trap.Count(), 1);
        EXPECT_EQ(trap.LastCode(), BadWindow);
    }
    EXPECT_EQ(Lines().size(), before) << "a trapped error is not logged";

    // Untrapped: logged, one line each, up to the limit and one line more that says so.
    for (int i = 0; i < platform::kMaxLoggedXErrors + 10; ++i) RefusedRequest();
    XSync(display_, False);
    const std::vector<std::string> all = Lines();
    EXPECT_GE(CountContaining(all, "X error on an X connection ignored: BadWindow"), 1);
    EXPECT_LE(CountContaining(all, "X error on"), platform::kMaxLoggedXErrors);
    EXPECT_EQ(CountContaining(all, "Further X errors are not logged"), 1);
    // The connection still serves.
    EXPECT_GT(DisplayWidth(display_, DefaultScreen(display_)), 0);
}

TEST_F(XErrors, AScreenThatShrinksKeepsTheFrameSizeWithBlackBeyondIt) {
    std::string note;
    auto screen = platform::OpenScreenSource(&note);
    ASSERT_NE(screen, nullptr);
    const int width = DisplayWidth(display_, DefaultScreen(display_));
    const int height = DisplayHeight(display_, DefaultScreen(display_));
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * height, 0x55);
    ASSERT_TRUE(screen->Grab(0, 0, width, height, rows.data(), stride));

    // The session's screen is given back its size whatever happens here.
    struct Restore {
        int width, height;
        ~Restore() { testsupport::ResizeScreen(width, height); }
    } restore{width, height};
    if (!testsupport::ResizeScreen(640, 480)) GTEST_SKIP() << "this X server cannot change its size";

    std::fill(rows.begin(), rows.end(), 0x55);
    EXPECT_TRUE(screen->Grab(0, 0, width, height, rows.data(), stride));
    // Rows are bottom-up: screen row y is stored at height - 1 - y.
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride + x * 3;
        return (p[0] << 16) | (p[1] << 8) | p[2];
    };
    for (auto [x, y] : {std::pair{700, 10}, {width - 1, height - 1}, {10, 500}})
        EXPECT_EQ(pixel(x, y), 0) << "off the screen at " << x << "," << y;
    EXPECT_EQ(CountContaining(Lines(), "the screen is now 640x480"), 1);
    // A second grab does not log again.
    EXPECT_TRUE(screen->Grab(0, 0, width, height, rows.data(), stride));
    EXPECT_EQ(CountContaining(Lines(), "the screen is now 640x480"), 1);
}

}  // namespace
