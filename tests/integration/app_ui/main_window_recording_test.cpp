// Start, Pause and Stop of the main window drive a real recording through the recording control,
// and the buttons show the state in their frames.
#include "app/main_messages.h"
#include "app/main_recording_host.h"
#include "app/main_skin_layout.h"
#include "support/main_window_fixture.h"
#include "recording/recording_control.h"
#include "skin/bmp_button.h"

#include <QGuiApplication>

namespace {

using namespace app;

struct Frames {
    int start, pause, stop;
};

Frames Shown(CRiviveZuzuveDlg& dlg) {
    return {dlg.Button(IDC_START)->CurrentFrame(), dlg.Button(IDC_PAUSE)->CurrentFrame(),
            dlg.Button(IDC_STOP)->CurrentFrame()};
}

bool Same(const Frames& a, const Frames& b) {
    return a.start == b.start && a.pause == b.pause && a.stop == b.stop;
}

TEST_F(MainWindowTest, StartPauseAndStopDriveTheRecordingAndTheButtonFrames) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    WriteConfig(
        "[Area Settings]\nRecordMode=1\n[Audio Settings]\nRecordAudio=0\n"
        "[Global Options]\nStartMinimize=0\n");
    CRiviveZuzuveDlg& dlg = Make();
    int finished = 0;
    dlg.Messages().On(WM_USER_RECORDFINISH, [&](platform::WPARAM, platform::LPARAM) {
        ++finished;
        return 0;
    });
    Show();
    ASSERT_NE(dlg.Recording(), nullptr);
    const int off = skin::kFrameDisabled, on = skin::kFrameNormal;
    EXPECT_TRUE(Same(Shown(dlg), {on, off, off}));

    dlg.RunCommand(IDC_START);
    EXPECT_EQ(dlg.Flags().IsRecording, 1);
    EXPECT_TRUE(Same(Shown(dlg), {off, on, on}));

    dlg.RunCommand(IDC_PAUSE);
    EXPECT_EQ(dlg.Recording()->Job().Paused, 1);
    EXPECT_TRUE(Same(Shown(dlg), {on, off, on}));  // Start resumes

    dlg.RunCommand(IDC_START);
    EXPECT_EQ(dlg.Recording()->Job().Paused, 0);

    dlg.RunCommand(IDC_STOP);
    EXPECT_EQ(dlg.Flags().IsRecording, 0);
    EXPECT_TRUE(Same(Shown(dlg), {on, off, off}));
    // The recording thread closes its files and reports the end to the window.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return finished == 1; }, std::chrono::seconds(20)));
}

TEST_F(MainWindowTest, HookPressesReachTheRecordingJobAsClickMarks) {
    WriteConfig("[Video Settings]\nClickHighMouse=1\n");
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    recording::RecordJob& job = dlg.Recording()->Job();
    job.ClickHighMouse = 1;  // copied from the settings at Start
    platform::SendMessage(dlg.Handle(), platform::WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(job.ClickState, 2);
    platform::SendMessage(dlg.Handle(), platform::WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(job.ClickState, 1);
}

}  // namespace
