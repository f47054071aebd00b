// The stacking query and the screen picture on a real display with a window manager.
#include "platform/x11/screen_snapshot.h"
#include "platform/x11/window_stack.h"
#include "support/test_support.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Painted : public QWidget {
public:
    explicit Painted(QColor colour) : colour_(colour) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

const platform::StackedWindow* Holding(const std::vector<platform::StackedWindow>& windows,
                                       const QRect& client) {
    for (const auto& w : windows)
        if (w.rect.left <= client.left() && w.rect.top <= client.top() &&
            w.rect.right > client.right() && w.rect.bottom > client.bottom())
            return &w;
    return nullptr;
}

class WindowStackTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    }
    void Place(QWidget& w, QRect where) {
        w.setGeometry(where);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return w.geometry() == where; }));
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
    }
};

TEST_F(WindowStackTest, ListsFramesTopMostFirstAndLeavesOutTheWindowsToSkip) {
    Painted lower(Qt::red), upper(Qt::blue);
    const QRect lowerPlace(200, 200, 300, 200), upperPlace(350, 300, 300, 200);
    Place(lower, lowerPlace);
    Place(upper, upperPlace);
    upper.raise();
    testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(300));

    const auto all = platform::QueryTopLevelWindows({});
    const platform::StackedWindow* a = Holding(all, lowerPlace);
    const platform::StackedWindow* b = Holding(all, upperPlace);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_LT(b - all.data(), a - all.data()) << "the raised window comes first";
    // The window manager's frame: the client with its decorations.
    EXPECT_GT(a->rect.Height(), lowerPlace.height());

    const auto skipped = platform::QueryTopLevelWindows({static_cast<std::uint64_t>(upper.winId())});
    EXPECT_EQ(Holding(skipped, upperPlace), nullptr);
    EXPECT_NE(Holding(skipped, lowerPlace), nullptr);

    upper.hide();
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] { return Holding(platform::QueryTopLevelWindows({}), upperPlace) == nullptr; }))
        << "a hidden window is not offered";
}

TEST_F(WindowStackTest, TheScreenPictureShowsTheWindowsWhereTheyAre) {
    Painted window(QColor(20, 200, 60));
    const QRect place(300, 250, 200, 150);
    Place(window, place);
    const QImage picture = platform::SnapshotScreen(1920, 1080);
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_EQ(picture.pixel(place.center()), qRgb(20, 200, 60));
    EXPECT_EQ(picture.pixel(place.topLeft()), qRgb(20, 200, 60));
    EXPECT_NE(picture.pixel(place.left() - 2, place.center().y()), qRgb(20, 200, 60));
}

}  // namespace
