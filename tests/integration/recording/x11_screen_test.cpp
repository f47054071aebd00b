// Screen copy, pointer, arrow cursor and the frame window on a real X display.
#include "platform/x11/frame_window_host.h"
#include "platform/x11/screen_source.h"
#include "recording/flashing_wnd.h"
#include "support/test_support.h"
#include "x11_input.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {

// A window at an exact place that paints a fixed picture and counts presses.
class PictureWindow : public QWidget {
public:
    PictureWindow(QRect where, std::function<QColor(int, int)> colour)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint),
          colour_(std::move(colour)) {
        setGeometry(where);
        setAttribute(Qt::WA_OpaquePaintEvent);
        image_ = QImage(where.size(), QImage::Format_RGB32);
        for (int y = 0; y < where.height(); ++y)
            for (int x = 0; x < where.width(); ++x) image_.setPixelColor(x, y, colour_(x, y));
        show();
        raise();
    }
    int presses = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }
    void mousePressEvent(QMouseEvent*) override { ++presses; }

private:
    std::function<QColor(int, int)> colour_;
    QImage image_;
};

std::uint32_t PixelAt(platform::ScreenSource& screen, int x, int y) {
    std::uint8_t row[4] = {};
    screen.Grab(x, y, 1, 1, row, 4);
    return row[2] << 16 | row[1] << 8 | row[0];
}

bool Shows(platform::ScreenSource& screen, int x, int y, std::uint32_t rgb) {
    return testsupport::WaitUntil([&] { return PixelAt(screen, x, y) == rgb; },
                                  std::chrono::seconds(3));
}

QColor Quadrant(int x, int y) {
    if (y < 120) return x < 160 ? QColor(255, 0, 0) : QColor(0, 255, 0);
    return x < 160 ? QColor(0, 0, 255) : QColor(x % 256, y % 256, 77);
}

class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    }
};

}  // namespace

TEST_F(X11Test, GrabGivesTheScreenRowsBottomUpWithAndWithoutSharedMemory) {
    PictureWindow window(QRect(200, 150, 320, 240), Quadrant);
    for (bool shm : {true, false}) {
        std::string note;
        auto screen = platform::OpenScreenSource(&note, shm);
        ASSERT_TRUE(screen);
        EXPECT_EQ(note, shm ? "Screen copy uses MIT-SHM" : "Screen copy uses XGetImage: MIT-SHM not wanted");
        ASSERT_TRUE(Shows(*screen, 200 + 319, 150 + 239, (319 % 256) << 16 | (239 % 256) << 8 | 77));

        const int width = 101, height = 240, stride = 304;
        std::vector<std::uint8_t> rows(stride * height, 0xAA);
        ASSERT_TRUE(screen->Grab(200 + 110, 150, width, height, rows.data(), stride));
        auto at = [&](int x, int y) {  // y from the top
            const std::uint8_t* p = rows.data() + (height - 1 - y) * stride + x * 3;
            return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
        };
        EXPECT_EQ(at(0, 0), 0xFF0000u) << shm;
        EXPECT_EQ(at(49, 119), 0xFF0000u) << shm;
        EXPECT_EQ(at(50, 0), 0x00FF00u) << shm;
        EXPECT_EQ(at(0, 120), 0x0000FFu) << shm;
        EXPECT_EQ(at(100, 239), static_cast<std::uint32_t>(210 << 16 | 239 << 8 | 77)) << shm;
        EXPECT_EQ(rows[303], 0) << "row padding is zero";
    }
}

TEST_F(X11Test, PixelsOutsideTheScreenReadAsBlack) {
    PictureWindow topLeft(QRect(0, 0, 60, 60), [](int, int) { return QColor(255, 255, 255); });
    PictureWindow bottomRight(QRect(1880, 1040, 40, 40), [](int, int) { return QColor(255, 255, 255); });
    auto screen = platform::OpenScreenSource();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(Shows(*screen, 5, 5, 0xFFFFFF));
    ASSERT_TRUE(Shows(*screen, 1915, 1075, 0xFFFFFF));

    struct Case {
        int left, top;
        int whiteX, whiteY, blackX, blackY;  // inside the 40 × 40 grab, from the top
    } cases[] = {{-10, -10, 15, 15, 5, 15}, {-10, -10, 15, 15, 15, 5}, {1900, 1060, 5, 5, 25, 5},
                 {1900, 1060, 5, 5, 5, 25}};
    for (const Case& c : cases) {
        const int stride = 120;
        std::vector<std::uint8_t> rows(stride * 40, 0xAA);
        screen->Grab(c.left, c.top, 40, 40, rows.data(), stride);
        auto at = [&](int x, int y) {
            const std::uint8_t* p = rows.data() + (39 - y) * stride + x * 3;
            return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
        };
        EXPECT_EQ(at(c.whiteX, c.whiteY), 0xFFFFFFu) << c.left;
        EXPECT_EQ(at(c.blackX, c.blackY), 0u) << c.left << " " << c.blackX << "," << c.blackY;
    }
    std::vector<std::uint8_t> rows(120 * 40, 0xAA);
    screen->Grab(3000, 3000, 40, 40, rows.data(), 120);
    EXPECT_EQ(rows, std::vector<std::uint8_t>(120 * 40, 0));
}

TEST_F(X11Test, PointerPositionAndArrowCursor) {
    auto screen = platform::OpenScreenSource();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(x11input::WarpPointer(345, 678));
    platform::Point p = screen->PointerPosition();
    EXPECT_EQ(p.x, 345);
    EXPECT_EQ(p.y, 678);

    const platform::CursorImage& arrow = platform::ArrowCursor();
    ASSERT_GT(arrow.width, 0);
    ASSERT_EQ(arrow.argb.size(), static_cast<std::size_t>(arrow.width * arrow.height));
    EXPECT_LT(arrow.xHotspot, arrow.width);
    EXPECT_LT(arrow.yHotspot, arrow.height);
    platform::CursorImage builtIn = platform::BuiltInArrow();
    EXPECT_EQ(builtIn.xHotspot, 0);
    EXPECT_EQ(builtIn.yHotspot, 0);
    EXPECT_EQ(builtIn.argb[0] >> 24, 0xFFu) << "the tip is at the hotspot";
}

TEST_F(X11Test, FrameWindowShowsOnlyTheBracketsAndLetsClicksThrough) {
    PictureWindow below(QRect(50, 50, 400, 300), [](int, int) { return QColor(255, 255, 255); });
    auto frame = recording::CFlashingWnd::Create(1920, 1080);
    frame->SetFrameArea(100, 100, 300, 200);
    frame->ShowFrame();
    frame->PaintFrame(recording::kFrameRed);
    auto screen = platform::OpenScreenSource();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(Shows(*screen, 95, 95, 0xFF0000));
    EXPECT_TRUE(Shows(*screen, 406, 306, 0xFF0000));
    EXPECT_EQ(PixelAt(*screen, 200, 95), 0xFFFFFFu) << "the middle of a side shows through";
    EXPECT_EQ(PixelAt(*screen, 100, 100), 0xFFFFFFu) << "the area is never covered";
    EXPECT_EQ(PixelAt(*screen, 399, 299), 0xFFFFFFu);

    // A click on a bracket reaches the window below.
    ASSERT_TRUE(x11input::ClickAt(95, 95));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return below.presses == 1; }, std::chrono::seconds(3)));

    // From another thread the paint is queued: the caller returns while this thread is busy.
    auto painted = std::async(std::launch::async, [&] { frame->PaintFrame(0x50FF00); });
    ASSERT_EQ(painted.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(Shows(*screen, 95, 95, 0x00FF50));
    frame->HideFrame();
    EXPECT_TRUE(Shows(*screen, 95, 95, 0xFFFFFF));
}
