// The four ways of choosing the area, driven with xdotool on the real recorder: each ends in a
// recording whose first and last frames hold exactly the chosen rectangle of the screen.
#include "app/main_skin_layout.h"
#include "platform/ui/dialog_builder.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <sstream>

namespace {

using testsupport::TempDir;
using testsupport::WaitForWindows;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kSavedBox = "^Rivive Zuzuve$";
constexpr const char* kPatternTitle = "^rzpattern$";
constexpr int kPatternX = 100, kPatternY = 120;
constexpr int kPageX = 54, kPageY = 125;  // the page area of the main window, in pixels

// Ids of the Select Area page.
constexpr int kFullScreen = 1028, kLeft = 1030, kTop = 1031, kWidth = 1013, kHeight = 1014,
              kSelectWindow = 1032, kSelectRegion = 1018;

struct Area {
    int left, top, width, height;
};

std::ostream& operator<<(std::ostream& out, const Area& a) {
    return out << a.left << "," << a.top << " " << a.width << "x" << a.height;
}

void Xdo(const std::vector<std::string>& args) { testsupport::Run("xdotool", args); }

// A window's own rectangle on the screen, from xwininfo (decorations not included).
QRect ClientRect(const std::string& window) {
    std::map<std::string, int> values;
    std::istringstream in(testsupport::Run("xwininfo", {"-id", window}));
    for (std::string line; std::getline(in, line);) {
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = line.substr(0, colon);
        key.erase(0, key.find_first_not_of(' '));
        values[key] = std::atoi(line.c_str() + colon + 1);
    }
    return QRect(values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"],
                 values["Height"]);
}

// A picture of black and white pixels at random: every 2 x 2 block of the codec holds at most
// two colours (so quality 10000 keeps it exact), and a shift by one pixel changes half of it.
QImage NoisePattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(1234);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, (random() & 1) ? 0xFFFFFFFF : 0xFF000000);
    return image;
}

// Share of the screen pixels of `region` (within the recorded area `a`) whose pixel in `frame`
// differs by more than the RGB555 rounding from `reference` (a picture whose top-left corner lies
// at `origin` on the screen), compared at (dx, dy) from it.
double Mismatch(const QImage& frame, const Area& a, const QImage& reference, QPoint origin,
                QRect region, int dx = 0, int dy = 0) {
    region &= QRect(a.left, a.top, a.width, a.height);
    long long bad = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb f = frame.pixel(x - a.left, y - a.top);
            const QRgb s =
                reference.pixel(std::clamp(x - origin.x() + dx, 0, reference.width() - 1),
                                std::clamp(y - origin.y() + dy, 0, reference.height() - 1));
            const int d = std::max({std::abs(qRed(f) - qRed(s)), std::abs(qGreen(f) - qGreen(s)),
                                    std::abs(qBlue(f) - qBlue(s))});
            if (d > 24) ++bad;
        }
    const double pixels = static_cast<double>(region.width()) * region.height();
    return pixels > 0 ? bad / pixels : 1.0;
}

// NOT (pixel XOR red): the picker's outline pen.
QRgb Outlined(QRgb pixel) { return 0xFF000000 | ~(pixel ^ 0xFF0000); }

class ChooseArea : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        testsupport::CopyProgramFolder(dir_.Path());
        QDir().mkpath(QString::fromStdString(dir_.File("out")));
        testsupport::WriteFile(dir_.File("Config.ini"),
                               "[Area Settings]\nRecordMode=0\n"
                               "[Video Settings]\nVideoQuanlity=100\nRecordMouse=0\n"
                               "HighLightMouse=0\nFrameRate=5\nVideoType=100\n"
                               "[Audio Settings]\nRecordAudio=0\n"
                               "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + dir_.File("out") +
                                   "\n[Global Options]\nStartMinimize=1\nPlayVideo=0\n");
        patternPicture_ = NoisePattern(400, 300);
        ASSERT_TRUE(patternPicture_.save(QString::fromStdString(dir_.File("pattern.png"))));
        pattern_.start("display", {"-geometry", QString("+%1+%2").arg(kPatternX).arg(kPatternY),
                                   "-title", "rzpattern",
                                   QString::fromStdString(dir_.File("pattern.png"))});
        ASSERT_TRUE(pattern_.waitForStarted());
        auto windows = WaitForWindows(kPatternTitle);
        ASSERT_EQ(windows.size(), 1u) << "the pattern window did not come up";
        patternWindow_ = windows[0];

        recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
        recorder_.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
        ASSERT_TRUE(recorder_.waitForStarted());
        auto main = WaitForWindows(kMainWindow);
        ASSERT_EQ(main.size(), 1u) << "the main window did not come up";
        main_ = main[0];
        QThread::msleep(500);
        const QRect place = ClientRect(main_);
        mainX_ = place.x();
        mainY_ = place.y();
    }
    void TearDown() override {
        for (QProcess* p : {&recorder_, &pattern_})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
    }

    // Centre of a control of the page (of its indicator for a radio button), in screen pixels.
    QPoint PageControl(int id) const {
        for (const auto& c : resources::FindDialogTemplate(resources::IDD_REGION_PAGE)->controls)
            if (c.id == id)
                return {mainX_ + kPageX +
                            platform::DialogUnitsToPixelsX(
                                c.x + (c.kind == platform::ControlKind::RadioButton ? 4 : c.w / 2)),
                        mainY_ + kPageY + platform::DialogUnitsToPixelsY(c.y + c.h / 2)};
        ADD_FAILURE() << "no control " << id;
        return {};
    }
    void Click(QPoint at) {
        Xdo({"mousemove", "--sync", std::to_string(at.x()), std::to_string(at.y())});
        Xdo({"click", "1"});
    }
    void TypeInto(int id, int value) {
        Click(PageControl(id));
        Xdo({"key", "--clearmodifiers", "ctrl+a"});
        Xdo({"type", "--delay", "60", std::to_string(value)});
    }
    QImage Screenshot(const std::string& name) {
        const std::string path = dir_.File(name + ".png");
        testsupport::Run("import", {"-window", "root", path});
        QImage image(QString::fromStdString(path));
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QRect PatternClient() { return ClientRect(patternWindow_); }
    // The pattern window's frame as the user sees it (decorations included).
    Area PatternFrame() {
        const QRect client = PatternClient();
        std::string extents = testsupport::Run("xprop", {"-id", patternWindow_, "_NET_FRAME_EXTENTS"});
        int l = 0, r = 0, t = 0, b = 0;
        auto eq = extents.find('=');
        if (eq != std::string::npos)
            std::sscanf(extents.c_str() + eq + 1, " %d, %d, %d, %d", &l, &r, &t, &b);
        return {client.x() - l, client.y() - t, client.width() + l + r, client.height() + t + b};
    }

    // Records a few seconds with Start (the button) and Stop (its hot key), takes a screenshot in
    // between, and checks the first and last frames against it.
    void RecordAndCompare(const Area& a) {
        ASSERT_EQ(WaitForWindows(kMainWindow).size(), 1u) << "the main window is not back";
        const platform::Rect start = app::SkinButtonRect(app::kSkinButtons[4], 653, 450);
        ASSERT_EQ(app::kSkinButtons[4].id, 1016);
        Click({mainX_ + (start.left + start.right) / 2, mainY_ + (start.top + start.bottom) / 2});
        QThread::msleep(2000);
        const QImage screen = Screenshot("during");
        QThread::msleep(1000);
        Xdo({"key", "F10"});
        auto box = WaitForWindows(kSavedBox, 1, 30000);
        ASSERT_EQ(box.size(), 1u) << "no saved-file message; the log:\n"
                                  << testsupport::ReadFile(dir_.File("Diary/RiviveZuzuve.log"));
        Xdo({"windowactivate", "--sync", box[0]});
        Xdo({"key", "--clearmodifiers", "Return"});

        QDir out(QString::fromStdString(dir_.File("out")));
        const QStringList files = out.entryList({"Recorder-*.avi"}, QDir::Files);
        ASSERT_EQ(files.size(), 1) << "no recording saved";
        const std::string avi = out.filePath(files[0]).toStdString();
        const std::string frames = dir_.File("frames");
        QDir().mkpath(QString::fromStdString(frames));
        int code = -1;
        testsupport::Run("ffmpeg", {"-v", "error", "-i", avi, "-pix_fmt", "rgb24", frames + "/f%03d.png"}, &code);
        ASSERT_EQ(code, 0);
        const QStringList decoded = QDir(QString::fromStdString(frames)).entryList({"f*.png"});
        ASSERT_GE(decoded.size(), 2) << "fewer than two frames";
        for (const QString& name : {decoded.front(), decoded.back()}) {
            QImage frame(QString::fromStdString(frames) + "/" + name);
            frame = frame.convertToFormat(QImage::Format_RGB32);
            SCOPED_TRACE(name.toStdString());
            // The stream pads the picture to whole 4 x 4 blocks.
            EXPECT_EQ(frame.width(), (a.width + 3) / 4 * 4) << a;
            EXPECT_EQ(frame.height(), (a.height + 3) / 4 * 4) << a;
            if (frame.width() < a.width || frame.height() < a.height) continue;
            const QRect all(a.left, a.top, a.width, a.height), pattern = PatternClient();
            EXPECT_LT(Mismatch(frame, a, screen, {}, all), 0.01) << a;
            // On the pattern, the tolerance would see the area one pixel off.
            EXPECT_GT(Mismatch(frame, a, screen, {}, pattern, 1, 0), 0.2) << a;
            EXPECT_GT(Mismatch(frame, a, screen, {}, pattern, 0, 1), 0.2) << a;
            // The test picture itself, with nothing of an overlay left over it (only blocks that
            // mix its edge with the window frame round it may lose a colour).
            EXPECT_LT(Mismatch(frame, a, patternPicture_, pattern.topLeft(), pattern), 0.005) << a;
        }
    }

    TempDir dir_;
    QImage patternPicture_;
    QProcess pattern_, recorder_;
    std::string patternWindow_, main_;
    int mainX_ = 0, mainY_ = 0;
};

TEST_F(ChooseArea, TypedBoxesMoveTheFrameAndAreRecorded) {
    const Area a{160, 200, 320, 200};
    TypeInto(kLeft, a.left);
    TypeInto(kTop, a.top);
    TypeInto(kWidth, a.width);
    TypeInto(kHeight, a.height);
    QThread::msleep(500);
    const QImage shot = Screenshot("typed");
    const QRgb red = qRgb(255, 0, 0);
    // Brackets just outside the corners, nothing along the middle of an edge.
    EXPECT_EQ(shot.pixel(a.left - 4, a.top - 4), red);
    EXPECT_EQ(shot.pixel(a.left + 10, a.top - 4), red);
    EXPECT_EQ(shot.pixel(a.left + a.width + 3, a.top + a.height + 3), red);
    EXPECT_NE(shot.pixel(a.left + a.width / 2, a.top - 4), red);
    EXPECT_NE(shot.pixel(a.left + 2, a.top + 2), red);
    RecordAndCompare(a);
}

TEST_F(ChooseArea, SelectWindowOutlinesTheWindowAndAClickTakesItsFrame) {
    const Area frame = PatternFrame();
    const QImage before = Screenshot("before");
    Click(PageControl(kSelectWindow));
    ASSERT_EQ(WaitForWindows("^Select Window$").size(), 1u) << "no window picker";
    Xdo({"mousemove", "--sync", "300", "300"});
    QThread::msleep(500);
    const QImage picker = Screenshot("picker");
    // Outlined inside its frame with the inverting pen; the pattern a little further in is not.
    int outlined = 0, plain = 0;
    for (int y = frame.top + 40; y < frame.top + frame.height - 40; ++y) {
        outlined += picker.pixel(frame.left + 2, y) == Outlined(before.pixel(frame.left + 2, y));
        plain += picker.pixel(frame.left + 12, y) == before.pixel(frame.left + 12, y);
    }
    EXPECT_EQ(outlined, frame.height - 80) << frame;
    EXPECT_EQ(plain, frame.height - 80) << frame;
    Xdo({"click", "1"});
    ASSERT_TRUE(testsupport::WaitUntil([] { return testsupport::FindWindows("^Select Window$").empty(); },
                                       std::chrono::seconds(10)));
    QThread::msleep(500);
    const QImage shot = Screenshot("picked");
    EXPECT_EQ(shot.pixel(frame.left - 4, frame.top - 4), qRgb(255, 0, 0)) << frame;
    RecordAndCompare(frame);
}

TEST_F(ChooseArea, SelectRegionDragFillsTheBoxesAndIsRecorded) {
    const Area a{150, 180, 321, 211};
    Click(PageControl(kSelectRegion));
    ASSERT_EQ(WaitForWindows("^Select Region$").size(), 1u) << "no region overlay";
    Xdo({"mousemove", "--sync", std::to_string(a.left + a.width), std::to_string(a.top + a.height)});
    Xdo({"mousedown", "1"});
    Xdo({"mousemove", "--sync", "300", "300"});
    Xdo({"mousemove", "--sync", std::to_string(a.left), std::to_string(a.top)});
    QThread::msleep(500);
    const QImage dragging = Screenshot("dragging");
    Xdo({"mouseup", "1"});
    ASSERT_TRUE(testsupport::WaitUntil([] { return testsupport::FindWindows("^Select Region$").empty(); },
                                       std::chrono::seconds(10)));
    // While dragging, the pattern is dimmed outside the rectangle and plain inside it.
    const QImage plain = Screenshot("dragged");
    const QRect pattern = PatternClient();
    long long outside = 0, outsidePlain = 0, insideDiffers = 0;
    for (int x = pattern.left() + 5; x < pattern.right() - 5; ++x) {
        const int below = pattern.bottom() - 10, inside = a.top + a.height / 2;
        outside += qGray(dragging.pixel(x, below));
        outsidePlain += qGray(plain.pixel(x, below));
        if (x >= a.left && x < a.left + a.width)
            insideDiffers += dragging.pixel(x, inside) != plain.pixel(x, inside);
    }
    EXPECT_NEAR(static_cast<double>(outside), outsidePlain * 150.0 / 255, outsidePlain * 0.02);
    EXPECT_EQ(insideDiffers, 0);
    RecordAndCompare(a);
}

TEST_F(ChooseArea, FullScreenRecordsTheWholeScreen) {
    Click(PageControl(kFullScreen));
    QThread::msleep(300);
    RecordAndCompare({0, 0, 1920, 1080});
}

}  // namespace
