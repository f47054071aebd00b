#include "companions/clickwatch/clickwatch.h"
#include "platform/core/messages.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

// Xlib last: its macros clash with GoogleTest.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using testsupport::WaitUntil;

// Presses and releases a mouse button through XTest, as a user would.
void Click(unsigned button) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

class ClickHook : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        for (std::uint32_t message : {platform::WM_LBUTTONDOWN, platform::WM_RBUTTONDOWN})
            window_.On(message, [this, message](platform::WPARAM, platform::LPARAM) {
                seen_.push_back(message);
                return platform::LRESULT{0};
            });
    }
    platform::MessageWindow window_;
    std::vector<std::uint32_t> seen_;
};

TEST_F(ClickHook, PressesAnywhereReachTheWindowAsButtonDownMessagesUntilUninstalled) {
    ASSERT_NE(SetHook(window_.Handle()), 0);
    Click(1);
    Click(3);
    Click(2);  // middle button: not reported
    Click(1);
    // The last left press arrives after the middle one would have.
    ASSERT_TRUE(WaitUntil([&] { return seen_.size() >= 3; }));
    EXPECT_EQ(seen_, (std::vector<std::uint32_t>{platform::WM_LBUTTONDOWN, platform::WM_RBUTTONDOWN,
                                                 platform::WM_LBUTTONDOWN}));

    UninstallMyHook(window_.Handle());
    seen_.clear();
    Click(1);
    Click(3);

    ASSERT_NE(SetHook(window_.Handle()), 0);  // installs again after removal
    Click(3);
    // Only the press made after the new installation arrives, the earlier two never do.
    EXPECT_TRUE(WaitUntil([&] { return !seen_.empty(); }));
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_EQ(seen_, (std::vector<std::uint32_t>{platform::WM_RBUTTONDOWN}));
    UninstallMyHook(window_.Handle());
    UninstallMyHook(window_.Handle());  // a second removal is harmless
    Click(1);  // closes the desktop menu the right clicks opened
}

TEST(ClickHookWithoutDisplay, GivesZero) {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", ":4999", 1);
    platform::MessageWindow window;
    EXPECT_EQ(SetHook(window.Handle()), 0);
    if (display.empty()) unsetenv("DISPLAY"); else setenv("DISPLAY", display.c_str(), 1);
}

}  // namespace
