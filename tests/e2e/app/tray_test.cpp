// The real recorder in the session's tray host: a double-click on its icon hides and brings back
// the main window while the main window's loop runs, and the icon's menu quits the recorder.
#include "platform/core/paths.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QScreen>
#include <gtest/gtest.h>

#include <sstream>

namespace {

using testsupport::FindWindows;
using testsupport::Run;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kIconWindow = "^Rivive Zuzuve$";  // the tray icon's own window
constexpr const char* kQuitLine =
    "----------------------- Quit Rivive Zuzuve.exe ---------------------------";

QRect Geometry(const std::string& window) {
    std::istringstream out(Run("xdotool", {"getwindowgeometry", "--shell", window}));
    int x = 0, y = 0, w = 0, h = 0;
    for (std::string line; std::getline(out, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") x = value;
        if (key == "Y") y = value;
        if (key == "WIDTH") w = value;
        if (key == "HEIGHT") h = value;
    }
    return QRect(x, y, w, h);
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
        Run("xdotool", {"mousemove", "5", "1075"});
    }
    void TearDown() override {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.kill();
            recorder_.waitForFinished();
        }
    }
    void Click(const QPoint& at, const char* button, int times) {
        Run("xdotool", {"mousemove", std::to_string(at.x()), std::to_string(at.y())});
        Run("xdotool", {"click", "--repeat", std::to_string(times), "--delay", "80", button});
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
    std::vector<std::string> icons;
    ASSERT_TRUE(WaitUntil([&] {
        icons = FindWindows(kIconWindow);
        return icons.size() == 1 && Geometry(icons[0]).width() > 0;
    })) << "no tray icon";
    const QRect icon = Geometry(icons[0]);
    const QRect strip(QGuiApplication::primaryScreen()->size().width() - 120, 0, 120, 24);
    EXPECT_TRUE(strip.contains(icon.center()));

    Click(icon.center(), "1", 2);
    EXPECT_TRUE(WaitUntil([&] { return !MainShown(); })) << "the double-click did not hide it";
    Click(icon.center(), "1", 2);
    EXPECT_TRUE(WaitUntil([&] { return MainShown(); })) << "the double-click did not bring it back";

    // The menu opens below and left of the pointer; its Exit (mnemonic E) ends the recorder.
    const QRect below(icon.center().x() - 100, icon.bottom() + 4, 100, 60);
    const QImage before = Grab(below);
    Click(icon.center(), "3", 1);
    ASSERT_TRUE(WaitUntil([&] { return Grab(below) != before; })) << "no menu";
    Run("xdotool", {"key", "e"});
    ASSERT_TRUE(recorder_.waitForFinished(10000)) << "Exit did not end the recorder";
    EXPECT_EQ(recorder_.exitCode(), 0);
    const std::string log = testsupport::ReadFile(dir_.File("Diary/RiviveZuzuve.log"));
    EXPECT_NE(log.find(kQuitLine), std::string::npos);
    EXPECT_TRUE(platform::FileExists(dir_.File("Config.ini")));
}

}  // namespace
