// A program folder without its skins/ or Languages/ folder: the recorder looks and reads as it
// always does (the pictures and the English texts are built in), says so in its log, and closes.
#include "e2e/faults/recorder_process.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <filesystem>
#include <sstream>

namespace faults {
namespace {

QImage GrabWindow(const std::string& window) {
    const testsupport::WindowRect r = testsupport::WindowGeometry(window);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.x, r.y, r.width, r.height)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Share of pixels that differ.
double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 1.0;
    long differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) differ += a.pixel(x, y) != b.pixel(x, y);
    return static_cast<double>(differ) / (a.width() * a.height());
}

class MissingFolders : public RecorderProcess {
protected:
    // The main window as the recorder shows it from the program folder as it stands; then closed.
    QImage ShowAndClose() {
        QImage shot;
        Start();
        if (HasFatalFailure()) return shot;
        const auto main = testsupport::FindWindows(kMainWindow);
        if (main.size() != 1) return shot;
        testsupport::Run("xdotool", {"mousemove", "5", "1075"});
        testsupport::Run("xdotool", {"windowactivate", "--sync", main[0]});
        shot = GrabWindow(main[0]);
        testsupport::Run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
        EXPECT_TRUE(recorder_.waitForFinished(10000)) << "the window could not be closed";
        return shot;
    }
};

TEST_F(MissingFolders, TheWindowLooksAndReadsTheSameAndCloses) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs the X display";
    const QImage whole = ShowAndClose();
    ASSERT_FALSE(whole.isNull());

    struct Case {
        const char* what;
        const char* file;  // removed, or with `broken` as its content
        const char* broken;
        const char* logLine;  // said once
    } cases[] = {
        {"no skins", "skins", nullptr,
         "skins/main.bmp is missing or unreadable: the built-in picture is used"},
        {"a broken skin", "skins/Start.bmp", "BM, but not a bitmap",
         "skins/Start.bmp is missing or unreadable: the built-in picture is used"},
        {"no Languages", "Languages", nullptr, "the built-in English texts are used"},
        {"a broken catalogue", "Languages/English.xml", "<Language name=\"English\"><Sec",
         "the built-in English texts are used"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::CopyProgramFolder(program_.Path());
        std::filesystem::remove_all(program_.File(c.file));
        if (c.broken) testsupport::WriteFile(program_.File(c.file), c.broken);
        const QImage shown = ShowAndClose();
        EXPECT_LT(Difference(whole, shown), 0.01) << "the window does not look as it should";
        std::istringstream lines(Log());
        int said = 0;
        for (std::string line; std::getline(lines, line);)
            said += line.find(c.logLine) != std::string::npos;
        EXPECT_EQ(said, 1) << Log();
    }
}

}  // namespace
}  // namespace faults
