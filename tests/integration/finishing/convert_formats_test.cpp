// A short real recording of a small region, with a tone playing, finished into the
// automatic folder in each of the seven formats, with and without sound: the file has the
// container and codecs of its format, a sound stream exactly when sound was recorded and the
// length of the recording; the bar reached its end and the temporary files are gone once the
// saved-file message is answered.
#include "../../unit/media/media_test_util.h"
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "audio/wave_in_capture.h"
#include "finishing/progess_dlg.h"
#include "platform/core/process.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <QProcess>
#include <QProgressBar>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace {

namespace fs = std::filesystem;
using namespace app;

struct Format {
    int videoType;
    bool sound;
    const char* container;  // ffprobe's format_name
    const char* video;
    const char* audio;  // empty: any
};

std::string Name(const ::testing::TestParamInfo<Format>& info) {
    return std::to_string(info.param.videoType) + (info.param.sound ? "WithSound" : "Silent");
}

// Seconds of the first video stream as ffmpeg decodes it (SWF carries no duration of its own).
double DecodedVideoSeconds(const std::string& path) {
    const std::string out = mediatest::Shell("ffmpeg -nostdin -v error -stats -i '" + path +
                                             "' -map 0:v:0 -f null - 2>&1");
    const std::size_t at = out.rfind("time=");
    int h = 0, m = 0;
    double sec = 0;
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "time=%d:%d:%lf", &h, &m, &sec) != 3) return -1;
    return h * 3600 + m * 60 + sec;
}

// Starts the converter for real, and measures the recording it is handed when it probes it.
class MeasuringLauncher : public platform::ProcessLauncher {
public:
    std::unique_ptr<platform::ChildProcess> Start(const std::vector<std::string>& argv,
                                                  const platform::StartOptions& options, std::string* error) override {
        if (argv.size() == 3) {
            recordingSeconds = DecodedVideoSeconds(argv[2]);
            recordingSize = mediatest::Probe(argv[2], "width,height", "v:0");
        }
        return platform::SystemProcessLauncher().Start(argv, options, error);
    }
    // Set before the converter runs, read after the worker has reported.
    std::atomic<double> recordingSeconds{-1};
    std::string recordingSize;
};

// A 1 kHz tone played into the session's null sink while it lives.
class Tone {
public:
    explicit Tone(const std::string& folder) {
        const std::string raw = folder + "tone.raw";
        mediatest::Shell("ffmpeg -nostdin -v error -y -f lavfi -i sine=f=1000:r=44100 -t 30 -f s16le -ac 1 '" + raw + "'");
        player_.start("pacat", {"--playback", "--device=rz_null", "--format=s16le", "--rate=44100", "--channels=1",
                                QString::fromStdString(raw)});
        player_.waitForStarted(5000);
    }
    ~Tone() {
        player_.kill();
        player_.waitForFinished(5000);
    }

private:
    QProcess player_;
};

class ConvertFormatsTest : public MainWindowTest, public ::testing::WithParamInterface<Format> {};

TEST_P(ConvertFormatsTest, RecordingComesOutAsARealFileOfItsFormat) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    const Format format = GetParam();
    testsupport::TempDir dir;
    const std::string folder = dir.File("Recordings");
    WriteConfig("[Area Settings]\nRecordMode=0\nRecordLeft=101\nRecordTop=99\nRecordRight=161\nRecordBottom=121\n"
                "FlashingRect=0\n[Video Settings]\nFrameRate=10\nVideoType=" + std::to_string(format.videoType) +
                "\n[Audio Settings]\nRecordAudio=" + (format.sound ? "1" : "0") +
                "\n[Output Settings]\nAutoSave=1\nAutoSaveDir=" + folder + "\n"
                "[Global Options]\nStartMinimize=0\nPlayVideo=1\nTrayIcon=0\n");
    Tone tone(dir.Path());
    CRiviveZuzuveDlg& dlg = Make();
    Show();

    std::mutex mutex;
    std::vector<std::string> opened;
    bool tempsGoneWhenOpened = false;
    MeasuringLauncher launcher;
    finishing::FinishServices services;
    services.shellOpen = [&](const std::string& path) {
        std::lock_guard lock(mutex);
        // Opening comes after the saved-file message was answered.
        tempsGoneWhenOpened = !fs::exists(recording::TempAviPath()) &&
                              !(dlg.WaveInCapture() && fs::exists(dlg.WaveInCapture()->TempWavPath()));
        opened.push_back(path);
        return true;
    };
    services.programFolder = RZ_BIN_DIR "/";
    services.launcher = &launcher;
    InstallFinishing(dlg, services);
    // The automatic folder is read live when the recording finishes.
    dlg.Settings().AutoSaveDir = folder;
    QProgressBar* bar = finishing::CProgessDlg::Instance()->Bar();
    bool barReachedEnd = false;
    QObject::connect(bar, &QProgressBar::valueChanged, &dlg,
                     [&](int v) { barReachedEnd = barReachedEnd || (v == bar->maximum() && v > 0); });

    testsupport::MessageBoxRecorder boxes;
    dlg.RunCommand(IDC_START);
    ASSERT_EQ(dlg.Flags().IsRecording, 1);
    QTest::qWait(2500);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return !opened.empty();
        },
        std::chrono::seconds(60)))
        << (boxes.Boxes().empty() ? std::string("no box") : boxes.Boxes().back().text);

    ASSERT_TRUE(fs::is_directory(folder)) << opened[0];
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder)) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string out = files[0].string();
    EXPECT_EQ(opened, std::vector<std::string>{out});
    ASSERT_EQ(boxes.Boxes().size(), 1u) << boxes.Boxes()[0].text;
    EXPECT_EQ(boxes.Boxes()[0].text,
              std::string(GetText("MsgBox", "AutoSaveFile")) + out + GetText("MsgBox", "SaveSuccess"));

    const std::string container = mediatest::Shell("ffprobe -v error -show_entries format=format_name -of "
                                                    "default=nw=1:nk=1 '" + out + "'");
    EXPECT_EQ(container, std::string(format.container) + "\n");
    EXPECT_EQ(mediatest::Probe(out, "codec_name", "v:0"), format.video);
    const std::string audio = mediatest::Probe(out, "codec_name", "a");
    if (!format.sound) {
        EXPECT_EQ(audio, "") << "no sound stream";
    } else if (*format.audio) {
        EXPECT_EQ(audio, format.audio);
    } else {
        EXPECT_NE(audio, "");
    }
    if (format.videoType != 100) {
        EXPECT_EQ(mediatest::Probe(out, "width,height", "v:0"), launcher.recordingSize)
            << "the recorded frame size";
    }

    const double seconds = DecodedVideoSeconds(out);
    const double recorded = format.videoType == 100 ? seconds : launcher.recordingSeconds.load();
    EXPECT_GT(recorded, 1.0);
    EXPECT_NEAR(seconds, recorded, recorded * 0.1);
    EXPECT_TRUE(tempsGoneWhenOpened);
    EXPECT_FALSE(fs::exists(recording::TempAviPath()));
    EXPECT_TRUE(barReachedEnd);
    EXPECT_TRUE(testsupport::WaitUntil([] { return !finishing::CProgessDlg::Instance()->isVisible(); }));
    EXPECT_EQ(dlg.Flags().Converting, 0);
}

const Format kFormats[] = {
    {100, false, "avi", "msvideo1", ""},
    {100, true, "avi", "msvideo1", ""},
    {101, false, "flv", "flv1", ""},
    {101, true, "flv", "flv1", "mp3"},
    {102, false, "mov,mp4,m4a,3gp,3g2,mj2", "h264", ""},
    {102, true, "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac"},
    {103, false, "mpeg", "mpeg1video", ""},
    {103, true, "mpeg", "mpeg1video", "mp2"},
    {104, false, "asf", "wmv2", ""},
    {104, true, "asf", "wmv2", "wmav2"},
    {105, false, "mpeg", "mpeg2video", ""},
    {105, true, "mpeg", "mpeg2video", "mp2"},
    {106, false, "swf", "flv1", ""},
    {106, true, "swf", "flv1", "mp3"},
};
INSTANTIATE_TEST_SUITE_P(EveryFormat, ConvertFormatsTest, ::testing::ValuesIn(kFormats), Name);

}  // namespace
