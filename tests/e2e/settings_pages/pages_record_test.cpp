// The real recorder driven through its Video, Audio and Output pages with the mouse and the
// keyboard: the choices made there shape the next recording and are in Config.ini after exit.
#include "platform/core/profile.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRect>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using testsupport::WaitForWindows;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kChooser = "^Audio Compression Format$";
constexpr const char* kSavedBox = "^Rivive Zuzuve$";

QRect Geometry(const std::string& window) {
    std::istringstream out(testsupport::Run("xdotool", {"getwindowgeometry", "--shell", window}));
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

std::string Ini(const std::string& path, const char* section, const char* key) {
    char buffer[1024];
    platform::GetPrivateProfileString(section, key, "<missing>", buffer, sizeof buffer, path);
    return buffer;
}

// One ffprobe field of the first stream of a kind ("v" or "a"); empty when there is none.
std::string Probe(const std::string& file, const char* stream, const char* field) {
    std::string out = testsupport::Run("ffprobe", {"-v", "error", "-select_streams", std::string(stream) + ":0",
                                      "-show_entries", std::string("stream=") + field, "-of",
                                      "default=noprint_wrappers=1:nokey=1", file});
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

class SettingsPagesEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        testsupport::CopyProgramFolder(dir_.Path());
        // Options the Options dialog would set: keep the window up and open nothing afterwards.
        testsupport::WriteFile(dir_.File("Config.ini"),
                               "[Global Options]\nStartMinimize=0\nPlayVideo=0\nTrayIcon=0\n");
        recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
        recorder_.setWorkingDirectory(QString::fromStdString(dir_.Path()));
        recorder_.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
        ASSERT_TRUE(recorder_.waitForStarted());
        const auto main = WaitForWindows(kMainWindow);
        ASSERT_EQ(main.size(), 1u) << "the main window did not come up";
        main_ = main[0];
        testsupport::Run("xdotool", {"windowactivate", "--sync", main_});
        origin_ = Geometry(main_).topLeft();
    }
    void TearDown() override {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.kill();
            recorder_.waitForFinished();
        }
    }
    // A click at a point of the main window, then a moment for the window to react.
    void Click(int x, int y) {
        testsupport::Run("xdotool", {"mousemove", "--sync", std::to_string(origin_.x() + x),
                        std::to_string(origin_.y() + y), "click", "1"});
        QThread::msleep(400);
    }
    void Keys(std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            testsupport::Run("xdotool", {"key", key});
            QThread::msleep(150);
        }
        QThread::msleep(300);
    }
    // Page controls: the page area starts at (54, 125) of the window.
    void ClickPage(int x, int y) { Click(54 + x, 125 + y); }

    testsupport::TempDir dir_;
    QProcess recorder_;
    std::string main_;
    QPoint origin_;
};

TEST_F(SettingsPagesEndToEnd, ChoicesOnThePagesShapeTheRecordingAndAreSavedOnExit) {
    const std::string folder = dir_.File("new recordings");
    ASSERT_FALSE(std::filesystem::exists(folder));

    // Video: MP4, 10 fps, no halo.
    Click(169, 91);
    ClickPage(211, 32);  // the format list
    Keys({"Down", "Down", "Return"});
    ClickPage(420, 65);  // the frame-rate list
    Keys({"Up", "Up", "Return"});
    ClickPage(30, 193);  // HighLight Mouse

    // Audio: sound on at 22.05 kHz stereo 16-bit, compressed as IMA ADPCM.
    Click(273, 91);
    ClickPage(30, 31);    // Record Audio
    ClickPage(159, 83);   // the quality list, at 22.05 kHz mono 16-bit
    Keys({"Down", "Down", "Return"});
    ClickPage(412, 166);  // Choose Compressed Format
    const auto chooser = WaitForWindows(kChooser);
    ASSERT_EQ(chooser.size(), 1u) << "no format chooser";
    testsupport::Run("xdotool", {"windowactivate", "--sync", chooser[0]});
    Keys({"Down", "Down"});  // PCM, Microsoft ADPCM, IMA ADPCM
    Keys({"Return"});
    ASSERT_TRUE(WaitForWindows(kChooser, 0).empty()) << "the chooser stayed open";

    // Output: automatic saving into a folder that does not exist yet.
    Click(377, 91);
    ClickPage(70, 94);  // Auto Save
    ClickPage(200, 122);
    Keys({"ctrl+a"});
    testsupport::Run("xdotool", {"type", "--delay", "20", folder});
    QThread::msleep(300);

    // Start, five seconds of a tone, Stop.
    const std::string toneFile = dir_.File("tone.wav");
    testsupport::Run("sox", {"-n", "-r", "44100", "-c", "2", toneFile, "synth", "7", "sine", "1000"});
    ASSERT_TRUE(std::filesystem::exists(toneFile));
    Click(430, 401);
    QProcess tone;
    tone.start("paplay", {"--device=rz_null", QString::fromStdString(toneFile)});
    QThread::sleep(5);
    Click(590, 401);

    // The saved-file message says it is done; the file is in the new folder.
    const auto saved = WaitForWindows(kSavedBox, 1, 60000);
    ASSERT_EQ(saved.size(), 1u) << "no saved-file message";
    tone.waitForFinished(10000);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().string());
    ASSERT_EQ(files.size(), 1u);
    const std::string file = files[0];
    EXPECT_EQ(std::filesystem::path(file).filename().string().rfind("Recorder-", 0), 0u) << file;
    // MP4 once the converter is in the build, else AVI beside the chosen name.
    const std::string extension = std::filesystem::path(file).extension().string();
    ASSERT_TRUE(extension == ".mp4" || extension == ".avi") << file;
    EXPECT_EQ(Probe(file, "v", "r_frame_rate"), "10/1");
    const double seconds = std::atof(testsupport::Run("ffprobe", {"-v", "error", "-show_entries", "format=duration",
                                                     "-of", "default=noprint_wrappers=1:nokey=1", file})
                                         .c_str());
    EXPECT_GT(seconds, 3.5);
    EXPECT_LT(seconds, 8.0);
    EXPECT_EQ(Probe(file, "a", "sample_rate"), "22050");
    EXPECT_EQ(Probe(file, "a", "channels"), "2");
    if (extension == ".avi") {
        EXPECT_EQ(Probe(file, "a", "codec_name"), "adpcm_ima_wav");
    }
    // The tone is in it.
    QProcess level;
    level.start("ffmpeg", {"-i", QString::fromStdString(file), "-af", "volumedetect", "-f", "null", "-"});
    ASSERT_TRUE(level.waitForFinished(30000));
    const QString report = QString::fromLocal8Bit(level.readAllStandardError());
    const int at = report.indexOf("max_volume: ");
    ASSERT_GE(at, 0) << report.toStdString();
    EXPECT_GT(report.mid(at + 12).section(' ', 0, 0).toDouble(), -30.0) << "the sound is silent";

    testsupport::Run("xdotool", {"windowactivate", "--sync", saved[0]});
    Keys({"Return"});
    testsupport::Run("xdotool", {"windowactivate", "--sync", main_});
    Keys({"alt+F4"});
    ASSERT_TRUE(recorder_.waitForFinished(15000)) << "the recorder did not quit";

    const std::string ini = dir_.File("Config.ini");
    struct Case {
        const char* section;
        const char* key;
        std::string value;
    } saved_values[] = {
        {"Video Settings", "VideoType", "102"},
        {"Video Settings", "FrameRate", "10"},
        {"Video Settings", "HighLightMouse", "0"},
        {"Video Settings", "RecordMouse", "1"},
        {"Audio Settings", "RecordAudio", "1"},
        {"Audio Settings", "WaveInSelected", "128"},
        {"Audio Settings", "Audio_bits_per_sample", "16"},
        {"Audio Settings", "Audio_num_channels", "2"},
        {"Audio Settings", "Audio_samples_per_seconds", "22050"},
        {"Audio Settings", "Audio_Compress_Type", "17"},
        {"Audio Settings", "nChannels", "2"},
        {"Audio Settings", "nSamplesPerSec", "22050"},
        {"Audio Settings", "wBitsPerSample", "4"},
        {"Output Settings", "AutoSave", "1"},
        {"Output Settings", "AutoSaveDir", folder},
    };
    for (const Case& c : saved_values) EXPECT_EQ(Ini(ini, c.section, c.key), c.value) << c.key;
}

}  // namespace
