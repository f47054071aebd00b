// The real recorder in the session's tray host: a double-click on its icon hides and brings back
// the main window while the main window's loop runs, and the icon's menu quits the recorder.
#include "platform/core/paths.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

using testsupport::FindWindows;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kIconName = "Rivive Zuzuve\n";  // the icon's own window
constexpr const char* kQuitLine =
    "----------------------- Quit Rivive Zuzuve.exe ---------------------------";

QRect Geometry(const std::string& window) {
    const testsupport::WindowRect r = testsupport::WindowGeometry(window);
    return QRect(r.x, r.y, r.width, r.height);
}

QImage Grab(const QRect& r) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

class TrayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        testsupport::CopyProgramFolder(dir_.Path());
        testsupport::Run("xdotool", {"mousemove", "5", "1075"});
    }
    void TearDown() override {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.kill();
            recorder_.waitForFinished();
        }
    }
    void Click(const QPoint& at, const char* button, int times) {
        testsupport::Run("xdotool", {"mousemove", std::to_string(at.x()), std::to_string(at.y())});
        testsupport::Run("xdotool", {"click", "--repeat", std::to_string(times), "--delay", "80", button});
    }
    bool MainShown() { return FindWindows(kMainWindow).size() == 1; }

    testsupport::TempDir dir_;
    QProcess recorder_;
};

TEST_F(TrayEndToEnd, DoubleClicksHideAndShowTheWindowAndTheMenuExitQuits) {
    recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
    recorder_.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
    ASSERT_TRUE(recorder_.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return MainShown(); }, std::chrono::seconds(10)));
    // The session's tray host is a 120 x 24 strip at the top right; the icon's window (named
    // like the frame window round the area) sits in it.
    const QRect strip(QGuiApplication::primaryScreen()->size().width() - 120, 0, 120, 24);
    QRect icon;
    ASSERT_TRUE(WaitUntil([&] {
        // xdotool's name search misses the embedded icon window: look at every window.
        for (const std::string& window : FindWindows(".*")) {
            icon = Geometry(window);
            if (icon.width() > 0 && strip.contains(icon) &&
                testsupport::Run("xdotool", {"getwindowname", window}) == kIconName)
                return true;
        }
        return false;
    })) << "no icon in the tray";

    Click(icon.center(), "1", 2);
    EXPECT_TRUE(WaitUntil([&] { return !MainShown(); })) << "the double-click did not hide it";
    Click(icon.center(), "1", 2);
    EXPECT_TRUE(WaitUntil([&] { return MainShown(); })) << "the double-click did not bring it back";

    // The menu opens below and left of the pointer; its Exit (mnemonic E) ends the recorder.
    const QRect below(icon.center().x() - 100, icon.bottom() + 4, 100, 60);
    const QImage before = Grab(below);
    Click(icon.center(), "3", 1);
    ASSERT_TRUE(WaitUntil([&] { return Grab(below) != before; })) << "no menu";
    testsupport::Run("xdotool", {"key", "e"});
    ASSERT_TRUE(recorder_.waitForFinished(10000)) << "Exit did not end the recorder";
    EXPECT_EQ(recorder_.exitCode(), 0);
    const std::string log = testsupport::ReadFile(dir_.File("Diary/RiviveZuzuve.log"));
    EXPECT_NE(log.find(kQuitLine), std::string::npos);
    EXPECT_TRUE(platform::FileExists(dir_.File("Config.ini")));
}

}  // namespace
