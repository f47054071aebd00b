// The recording control starting real recording threads on a real display.
#include "platform/core/messages.h"
#include "recording/avi_api.h"
#include "recording/flashing_wnd.h"
#include "recording/recording_control.h"
#include "recording/recording_messages.h"
#include "recording/temp_files.h"
#include "support/test_support.h"
#include "unit/recording/fake_host.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

int PacketsIn(const std::string& path) {
    std::string command = "ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                          "stream=nb_read_packets -of csv=p=0 '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    int packets = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%d", &packets) != 1) packets = -1;
        pclose(pipe);
    }
    return packets;
}

}  // namespace

TEST(RecordingControlE2E, StartPauseResumeStopThenStartAgainAfterTheFinalMessage) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    testsupport::TempDir temp;
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", temp.Path().c_str(), 1);

    platform::MessageWindow window;
    std::vector<std::string> ended;
    window.On(recording::WM_USER_RECORDFINISH, [&](platform::WPARAM, platform::LPARAM) {
        ended.push_back("finish");
        return 0;
    });
    window.On(recording::WM_USER_RECORDINTERRUPTED, [&](platform::WPARAM, platform::LPARAM) {
        ended.push_back("interrupted");
        return 0;
    });
    rectest::FakeHost host;
    host.mainWindow = window.Handle();
    host.settings.RecordMode = 0;
    host.settings.FrameRate = 20;
    host.edits = {{recording::kIdEditLeft, "40"}, {recording::kIdEditTop, "500"},
                  {recording::kIdEditWidth, "64"}, {recording::kIdEditHeight, "48"}};
    auto frame = recording::CFlashingWnd::Create(1920, 1080);
    {
        recording::RecordingControl control(host, frame.get(), recording::RealAviApi());
        control.SetSleep([](unsigned) {});
        control.OnStart();
        EXPECT_EQ(control.Job().ThreadActive.load(), 1);
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(400));
        control.OnPause();
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
        control.OnStart();
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
        control.OnStop();
        control.OnStart();  // the thread is still closing its file: refused
        EXPECT_EQ(host.isRecording.load(), 0);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return !ended.empty(); }));
        EXPECT_EQ(ended, (std::vector<std::string>{"finish"}));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return control.Job().ThreadActive == 0; }));
        std::string first = recording::TempAviPath();
        // 0.7 s of recording at 20 fps, the pause cut out: about 14 positions.
        int packets = PacketsIn(first);
        EXPECT_GE(packets, 5);
        EXPECT_LE(packets, 16);

        control.OnStart();
        EXPECT_EQ(host.isRecording.load(), 1);
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(200));
        control.OnStop();
        ASSERT_TRUE(testsupport::WaitUntil([&] { return ended.size() == 2; }));
        EXPECT_EQ(ended[1], "finish");
    }
    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}
