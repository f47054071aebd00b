// A real recording with sound through the main window's Start and Stop, finished into the
// automatic output folder: one AVI with the Microsoft Video 1 stream and the sound stream, of
// matching lengths.
#include "../../unit/media/media_test_util.h"
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "finishing/progess_dlg.h"
#include "recording/recording_control.h"
#include "recording/temp_files.h"
#include "audio/wave_in_capture.h"

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace {

namespace fs = std::filesystem;
using namespace app;

double VideoSeconds(const std::string& path) {
    const std::string text = mediatest::Probe(path, "duration", "v:0");
    return text.empty() || text == "N/A" ? -1 : std::stod(text);
}

// The sound's length as ffmpeg decodes it (an AVI sound stream carries no duration of its own).
double DecodedSoundSeconds(const std::string& path) {
    const std::string out =
        mediatest::Shell("ffmpeg -nostdin -v error -stats -i '" + path + "' -map 0:a -f null - 2>&1");
    const std::size_t at = out.rfind("time=");
    int h = 0, m = 0;
    double sec = 0;
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "time=%d:%d:%lf", &h, &m, &sec) != 3) return -1;
    return h * 3600 + m * 60 + sec;
}

TEST_F(MainWindowTest, StoppedRecordingWithSoundBecomesOneAviInTheAutomaticFolder) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    testsupport::TempDir dir;
    const std::string folder = dir.File("Recordings");  // created by the finishing stage
    WriteConfig("[Area Settings]\nRecordMode=1\n[Video Settings]\nFrameRate=10\n"
                "[Audio Settings]\nRecordAudio=1\n"
                "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + folder + "\n"
                "[Global Options]\nStartMinimize=0\nPlayVideo=1\nTrayIcon=0\n");
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    ASSERT_NE(finishing::CProgessDlg::Instance(), nullptr) << "created with the main window";
    std::mutex mutex;
    std::vector<std::string> opened;
    finishing::FinishServices services;
    services.chooseSavePath = [](const finishing::SaveAsRequest&, std::string*) {
        ADD_FAILURE() << "no dialog when saving automatically";
        return false;
    };
    services.shellOpen = [&](const std::string& path) {
        std::lock_guard lock(mutex);
        opened.push_back(path);
        return true;
    };
    InstallFinishing(dlg, services);
    // The automatic folder is read live when the recording finishes.
    dlg.Settings().AutoSave = 1;
    dlg.Settings().AutoSaveDir = folder;

    testsupport::MessageBoxRecorder boxes;
    dlg.RunCommand(IDC_START);
    ASSERT_EQ(dlg.Flags().IsRecording, 1) << "boxes: " << boxes.Boxes().size();
    QTest::qWait(3500);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return !opened.empty();
        },
        std::chrono::seconds(60)));

    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder)) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string out = files[0].string();
    EXPECT_EQ(opened, std::vector<std::string>{out});
    std::string shown;
    for (const platform::MessageBoxRequest& box : boxes.Boxes()) shown += "\n" + box.text;
    ASSERT_EQ(boxes.Boxes().size(), 1u) << shown;
    EXPECT_EQ(boxes.Boxes()[0].text,
              std::string(GetText("MsgBox", "AutoSaveFile")) + out + GetText("MsgBox", "SaveSuccess"));

    EXPECT_EQ(mediatest::Probe(out, "codec_name", "v:0"), "msvideo1");
    EXPECT_FALSE(mediatest::Probe(out, "codec_name", "a:0").empty()) << "a sound stream";
    const double video = VideoSeconds(out), sound = DecodedSoundSeconds(out);
    EXPECT_GT(video, 2.0);
    EXPECT_LT(video, 6.0);
    EXPECT_NEAR(sound, video, 0.75);
    EXPECT_FALSE(fs::exists(recording::TempAviPath()));
    ASSERT_NE(dlg.WaveInCapture(), nullptr);
    EXPECT_FALSE(fs::exists(dlg.WaveInCapture()->TempWavPath()));
    EXPECT_FALSE(finishing::CProgessDlg::Instance()->isVisible());
}

}  // namespace
