// The main window's hot keys and status window: F8, F9 and F10 pressed on the desktop start,
// pause, resume and stop a real recording; the status window is placed by the recorded area and
// counts only the seconds spent recording.
#include "app/hot_keys.h"
#include "app/main_recording_host.h"
#include "app/main_skin_layout.h"
#include "app/rivive_zuzuve_dlg.h"
#include "area/region_dlg.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "recording/recording_control.h"
#include "recording/recording_messages.h"
#include "recording/show_status_dlg.h"
#include "skin/bmp_button.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"
#include "support/x11_keys.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <X11/keysym.h>

#include <gtest/gtest.h>

namespace {

using app::CRiviveZuzuveDlg;
using recording::CShowStatusDlg;

class MainWindowControlTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteConfig("[Area Settings]\nRecordMode=0\nRecordLeft=40\nRecordTop=60\n"
                    "RecordRight=320\nRecordBottom=240\n[Audio Settings]\nRecordAudio=0\n"
                    "[Global Options]\nStartMinimize=0\nTrayIcon=0\n");
    }
    CRiviveZuzuveDlg& Show() {
        Make();
        MainWindowTest::Show();
        return *dlg_;
    }
    CShowStatusDlg* Status() { return dlg_->RecordingHost()->Status(); }
    // Start and Stop without waits and without a recording thread (it ends at once).
    void WithoutThread() {
        dlg_->Recording()->SetSleep([](unsigned) {});
        dlg_->Recording()->SetThreadStarter(
            [](recording::RecordEnvironment env) { env.job->ThreadActive = 0; });
    }
};

TEST_F(MainWindowControlTest, StatusWindowIsCreatedHiddenWithItsTemplateAndTime) {
    CRiviveZuzuveDlg& dlg = Show();
    CShowStatusDlg* status = Status();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(dlg.StatusWindow(), status);
    EXPECT_FALSE(status->isVisible());
    EXPECT_TRUE(status->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(status->parentWidget(), nullptr);  // stays up while the main window is minimised
    auto* label = status->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), "00:00:00");
}

TEST_F(MainWindowControlTest, StatusWindowIsPlacedBelowTheAreaOrAboveItAtTheScreenBottom) {
    if (QGuiApplication::primaryScreen()->size() != QSize(1920, 1080))
        GTEST_SKIP() << "placement figures are for a 1920 x 1080 screen";
    CRiviveZuzuveDlg& dlg = Show();
    WithoutThread();
    struct Case {
        const char* name;
        int mode, left, top, width, height;
        QRect expected;
    } cases[] = {
        {"full screen", 1, 0, 0, 0, 0, QRect(900, -35, 120, 25)},
        {"region", 0, 40, 100, 320, 200, QRect(140, 310, 120, 25)},
        {"region near the bottom", 0, 0, 900, 301, 200, QRect(90, 865, 120, 25)},
        {"just fits below", 0, 0, 870, 100, 200, QRect(-10, 1080, 120, 25)},
    };
    for (const Case& c : cases) {
        dlg.Settings().RecordMode = c.mode;
        // Start reads the Select Area page's boxes, written here as an overlay writes them
        // (unclamped: the area may reach past the screen).
        auto* page = qobject_cast<area::CRegionDlg*>(dlg.Page(0));
        ASSERT_NE(page, nullptr);
        page->RegionOverlayOpen = 1;
        page->WriteBoxes({c.left, c.top, c.width, c.height});
        page->RegionOverlayOpen = 0;
        dlg.RunCommand(app::IDC_START);
        ASSERT_EQ(dlg.Flags().IsRecording, 1) << c.name;
        EXPECT_EQ(Status()->geometry(), c.expected) << c.name;
        EXPECT_TRUE(Status()->isVisible()) << c.name;
        EXPECT_TRUE(Status()->TimerRunning(recording::kStatusTimerId)) << c.name;
        dlg.RunCommand(app::IDC_STOP);
        EXPECT_FALSE(Status()->isVisible()) << c.name;
        EXPECT_FALSE(Status()->TimerRunning(recording::kStatusTimerId)) << c.name;
    }
}

TEST_F(MainWindowControlTest, ElapsedTimeLeavesOutPausesAndIsTakenAtStop) {
    CRiviveZuzuveDlg& dlg = Show();
    WithoutThread();
    CShowStatusDlg* status = Status();
    auto tick = [&](int n) {
        // The timer only ticks while it runs.
        for (int i = 0; i < n; ++i)
            if (status->TimerRunning(recording::kStatusTimerId)) status->OnTimer(1);
    };
    dlg.RunCommand(app::IDC_START);
    tick(3);
    dlg.RunCommand(app::IDC_PAUSE);
    EXPECT_EQ(status->StatusPaused, 1);
    tick(60);  // a minute of pause counts nothing
    EXPECT_EQ(status->TimeText(), "00:00:03");
    status->OnPauseButton();  // the strip's Resume
    EXPECT_EQ(dlg.Recording()->Job().Paused, 0);
    EXPECT_EQ(status->StatusPaused, 0);
    tick(59);
    EXPECT_EQ(status->TimeText(), "00:01:02");
    status->OnPauseButton();  // the strip's Pause
    EXPECT_EQ(dlg.Recording()->Job().Paused, 1);
    tick(10);
    dlg.RunCommand(app::IDC_START);  // the main window's resume
    EXPECT_EQ(status->StatusPaused, 0);
    tick(1);
    status->OnStopButton();
    EXPECT_EQ(dlg.Flags().IsRecording, 0);
    EXPECT_EQ(dlg.Recording()->Job().RecordedSeconds, 63);
    EXPECT_EQ(status->ElapsedSeconds, 0u);
    EXPECT_EQ(status->TimeText(), "00:00:00");
    EXPECT_FALSE(status->isVisible());
}

TEST_F(MainWindowControlTest, FunctionKeysStartPauseResumeAndStopARealRecording) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "presses keys on a real display";
    CRiviveZuzuveDlg& dlg = Show();
    int finished = 0;
    dlg.Messages().On(recording::WM_USER_RECORDFINISH, [&](platform::WPARAM, platform::LPARAM) {
        ++finished;
        return 0;
    });
    recording::RecordJob& job = dlg.Recording()->Job();
    CShowStatusDlg* status = Status();

    x11keys::PressChord({XK_F8});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return job.Running == 1; }));
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->geometry(), QRect(40 + 160 - 60, 60 + 240 + 10, 120, 25));

    x11keys::PressChord({XK_F9});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return job.Paused == 1; }));
    EXPECT_EQ(status->StatusPaused, 1);
    EXPECT_FALSE(status->TimerRunning(recording::kStatusTimerId));

    x11keys::PressChord({XK_F8});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return job.Paused == 0; }));
    EXPECT_EQ(status->StatusPaused, 0);
    EXPECT_TRUE(status->TimerRunning(recording::kStatusTimerId));

    x11keys::PressChord({XK_F10});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dlg.Flags().IsRecording == 0; }));
    EXPECT_EQ(job.Running, 0);
    EXPECT_FALSE(status->isVisible());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return finished == 1; }, std::chrono::seconds(20)));
}

TEST_F(MainWindowControlTest, StatusButtonsTakeClicksWhileTheMainWindowRunsModally) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "clicks on a real display";
    dlg_ = std::make_unique<CRiviveZuzuveDlg>();
    CRiviveZuzuveDlg& dlg = *dlg_;
    int pausedByClick = -1, stoppedByClick = -1;
    QTimer::singleShot(0, [&] {
        WithoutThread();
        dlg.RunCommand(app::IDC_START);
        CShowStatusDlg* status = Status();
        if (QTest::qWaitForWindowExposed(status)) {
            auto clickOn = [](QWidget* button) {
                const QPoint centre = button->mapToGlobal(button->rect().center());
                x11keys::ClickAt(centre.x(), centre.y());
            };
            clickOn(status->PauseButton());
            testsupport::WaitUntil([&] { return dlg.Recording()->Job().Paused == 1; });
            pausedByClick = dlg.Recording()->Job().Paused;
            clickOn(status->StopButton());
            testsupport::WaitUntil([&] { return dlg.Flags().IsRecording == 0; });
            stoppedByClick = dlg.Flags().IsRecording == 0 ? 1 : 0;
        }
        dlg.RunCommand(app::IDC_STOP);
        dlg.OnCancel();
    });
    dlg.exec();
    EXPECT_EQ(pausedByClick, 1);
    EXPECT_EQ(stoppedByClick, 1);
}

TEST_F(MainWindowControlTest, ClosingTheWindowLetsTheHotKeysGo) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "grabs keys on a real display";
    CRiviveZuzuveDlg& dlg = Show();
    x11keys::OtherClient other;
    EXPECT_FALSE(other.Grab(XK_F10, 0));
    dlg.OnCancel();
    EXPECT_TRUE(other.Grab(XK_F8, 0));
    EXPECT_TRUE(other.Grab(XK_F9, 0));
    EXPECT_TRUE(other.Grab(XK_F10, 0));
}

}  // namespace
