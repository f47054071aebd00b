#include "fake_host.h"
#include "fakes.h"
#include "recording/flashing_wnd.h"
#include "recording/recording_control.h"
#include "recording/recording_messages.h"
#include "recording/temp_files.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <map>

using namespace recording;

namespace {

class ControlTest : public ::testing::Test {
protected:
    ControlTest() {
        host.settings.RecordMode = 0;
        host.settings.StartMinimize = 1;
        control.SetSleep([](unsigned) {});
        control.SetThreadStarter([this](RecordEnvironment env) {
            host.events.push_back("thread");
            started.push_back(env);
        });
    }
    std::string State() {
        return std::to_string(host.isRecording.load()) + std::to_string(control.Job().Running.load()) +
               std::to_string(control.Job().Paused.load()) + " " + host.ButtonState();
    }
    // What the recording thread does at its end.
    void ThreadEnds() { control.Job().ThreadActive = 0; }

    rectest::FakeHost host;
    std::vector<std::string> frameCalls;
    CFlashingWnd frame{1920, 1080, std::make_unique<rectest::FakeFrameHost>(&frameCalls)};
    rectest::FakeAvi avi;
    RecordingControl control{host, &frame, avi};
    std::vector<RecordEnvironment> started;
};

}  // namespace

TEST(AreaText, ReadsLikeTheEditBoxes) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"300", 300}, {"  42", 42}, {"+15", 15}, {"-20", -20}, {"12abc", 12},
                 {"abc", 0},   {"", 0},      {" - 3", 0}, {"99999999999", 2147483647}};
    for (const Case& c : cases) EXPECT_EQ(AreaTextToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(ControlTest, RegionSidesBelowFifteenOrZeroAreRefused) {
    struct Case {
        const char* width;
        const char* height;
        const char* box;  // null: accepted
    } cases[] = {
        {"14", "100", "SmallArea"}, {"15", "15", nullptr},     {"100", "14", "SmallArea"},
        {"abc", "100", "InvalidArea"}, {"0", "100", "InvalidArea"}, {"100", "", "InvalidArea"},
        {"-20", "100", "SmallArea"},
    };
    for (const Case& c : cases) {
        testsupport::MessageBoxRecorder boxes;
        host.edits[kIdEditWidth] = c.width;
        host.edits[kIdEditHeight] = c.height;
        frameCalls.clear();
        started.clear();
        control.OnStart();
        if (c.box) {
            ASSERT_EQ(boxes.Boxes().size(), 1u) << c.width << "x" << c.height;
            EXPECT_EQ(boxes.Boxes()[0].text, GetText("MsgBox", c.box));
            EXPECT_EQ(boxes.Boxes()[0].caption, "");
            EXPECT_EQ(boxes.Boxes()[0].type & 0xF0, static_cast<unsigned>(platform::MB_ICONWARNING));
            EXPECT_EQ(State(), "000 100") << c.width << "x" << c.height;
            EXPECT_TRUE(started.empty());
            EXPECT_EQ(frameCalls, (std::vector<std::string>{"hide"})) << "frame stays hidden";
        } else {
            EXPECT_TRUE(boxes.Boxes().empty());
            EXPECT_EQ(State(), "110 011");
            ASSERT_EQ(started.size(), 1u);
            EXPECT_EQ(host.settings.RecordRight, 15);
            control.OnStop();
            ThreadEnds();
        }
    }
}

TEST_F(ControlTest, StatusWindowSitsBelowTheAreaOrAboveWhenThereIsNoRoom) {
    struct Case {
        int mode;
        const char *left, *top, *width, *height;
        int x, y;
    } cases[] = {
        {1, "", "", "", "", 900, -35},
        {0, "100", "100", "300", "200", 190, 310},
        {0, "100", "900", "300", "200", 190, 865},
        {0, "0", "870", "301", "200", 90, 1080},  // exactly at the screen height stays below
        {0, "-50", "0", "15", "15", -53, 25},  // wholly off the screen: moved onto it first
    };
    for (const Case& c : cases) {
        host.settings.RecordMode = c.mode;
        host.edits = {{kIdEditLeft, c.left}, {kIdEditTop, c.top}, {kIdEditWidth, c.width}, {kIdEditHeight, c.height}};
        control.OnStart();
        EXPECT_EQ(host.statusX, c.x) << c.top;
        EXPECT_EQ(host.statusY, c.y) << c.top;
        EXPECT_EQ(host.statusW, 120);
        EXPECT_EQ(host.statusH, 25);
        control.OnStop();
        ThreadEnds();
    }
    host.settings.RecordMode = 1;
    control.OnStart();
    ASSERT_FALSE(started.empty());
    EXPECT_EQ(started.back().left, 0);
    EXPECT_EQ(started.back().top, 0);
    EXPECT_EQ(started.back().width, 1920);
    EXPECT_EQ(started.back().height, 1080);
}

TEST_F(ControlTest, StartMinimisesBeforeItStartsTheThreadAndShowsTheStatusWindow) {
    control.OnStart();
    std::vector<std::string> order;
    for (const std::string& e : host.events)
        if (e == "minimize" || e == "thread" || e == "status-place" || e == "status-show")
            order.push_back(e);
    EXPECT_EQ(order, (std::vector<std::string>{"minimize", "thread", "status-place", "status-show"}));
    EXPECT_TRUE(host.timerRunning);
    EXPECT_EQ(control.Job().ThreadActive.load(), 1);
    // The area controls are disabled in their fixed order.
    EXPECT_EQ(host.areaOrder, (std::vector<int>{1030, 1031, 1013, 1014, 1018, 1032, 1028, 1029,
                                                1038, 1065, 1036, 1039, 1037, 1040}));
    for (auto [id, enabled] : host.areaControls) EXPECT_FALSE(enabled) << id;
}

TEST_F(ControlTest, EveryTransitionOfTheStateTable) {
    EXPECT_EQ(State(), "000 000");
    control.OnPause();  // before any Start
    EXPECT_EQ(State(), "000 000");
    control.OnStart();
    EXPECT_EQ(State(), "110 011");
    control.OnStart();  // while recording
    EXPECT_EQ(started.size(), 1u);
    control.OnPause();
    EXPECT_EQ(State(), "111 101");
    EXPECT_TRUE(host.statusPaused);
    EXPECT_EQ(host.statusBitmap, "showstatus_start.bmp");
    EXPECT_FALSE(host.timerRunning);
    control.OnPause();  // while paused
    EXPECT_EQ(State(), "111 101");

    host.edits[kIdEditLeft] = "500";  // a resume takes no new area
    control.OnStart();
    EXPECT_EQ(State(), "110 011");
    EXPECT_EQ(started.size(), 1u) << "resuming starts no thread";
    EXPECT_EQ(control.Job().Left, 100);
    EXPECT_FALSE(host.statusPaused);
    EXPECT_EQ(host.statusBitmap, "showstatus_pause.bmp");
    EXPECT_TRUE(host.timerRunning);

    host.elapsed = 0x100000007LL;
    host.statusVisible = true;
    control.OnStop();
    EXPECT_EQ(State(), "000 100");
    EXPECT_EQ(control.Job().RecordedSeconds, 7);
    EXPECT_EQ(host.elapsed, 0);
    EXPECT_FALSE(host.statusVisible);
    for (auto [id, enabled] : host.areaControls) EXPECT_TRUE(enabled) << id;
}

TEST_F(ControlTest, StopStopsTheStatusTimerBeforeHidingTheStatusWindow) {
    control.OnStart();
    host.events.clear();
    rectest::LogTail log;
    control.OnStop();
    auto at = [this](const std::string& e) {
        return std::find(host.events.begin(), host.events.end(), e) - host.events.begin();
    };
    EXPECT_LT(at("kill-timer"), at("status-hide"));
    EXPECT_LT(at("status-hide"), static_cast<long>(host.events.size()));
    EXPECT_TRUE(log.Has("Stop Rivive Zuzuve"));

    rectest::LogTail idle;  // Stop while idle resets again and logs again
    control.OnStop();
    EXPECT_TRUE(idle.Has("Stop Rivive Zuzuve"));
    EXPECT_EQ(State(), "000 100");
}

TEST_F(ControlTest, AnInterruptionReturnsToIdleAndSaysWhyAndWhereTheFilesAreKept) {
    LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
    SelectLanguage("English");
    testsupport::TempDir dir;
    const std::string video = dir.File("temp.avi"), sound = dir.File("temp.wav");
    struct Case {
        int reason;
        bool paused, audio, soundOnDisk;
        const char* words;  // what the box must say, in plain words
        std::vector<std::string> kept;
    } cases[] = {
        {kInterruptDiskFull, false, true, true, "the disk is full", {video, sound}},
        {kInterruptDiskFull, true, true, true, "the disk is full", {video, sound}},
        {kInterruptWrite, false, false, true, "could not be written", {video}},
        {kInterruptSetup, false, true, false, "could not be set up", {video}},
        {kInterruptMemory, false, false, false, "not enough memory", {video}},
    };
    testsupport::WriteFile(video, "RIFF");
    host.settings.ClickHighMouse = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.reason) + (c.paused ? " paused" : ""));
        std::remove(sound.c_str());
        if (c.soundOnDisk) testsupport::WriteFile(sound, "RIFF");
        host.settings.RecordAudio = c.audio;
        host.tempWav = sound;
        SetTempAviPath(video);
        const std::size_t starts = started.size();
        control.OnStart();
        ASSERT_EQ(started.size(), starts + 1);
        if (c.paused) control.OnPause();
        host.elapsed = 9;
        ThreadEnds();

        testsupport::MessageBoxRecorder boxes;
        rectest::LogTail log;
        EXPECT_EQ(control.OnRecordInterrupted(c.reason, started.back().recordingNumber), 0);
        EXPECT_TRUE(log.Has("OnRecordInterrupted!"));
        EXPECT_EQ(State(), "000 100") << "Start works again, Pause and Stop are off";
        EXPECT_FALSE(host.statusVisible);
        EXPECT_FALSE(host.timerRunning);
        EXPECT_FALSE(host.statusPaused);
        EXPECT_EQ(host.elapsed, 0);
        EXPECT_EQ(host.hookInstalled.load(), 0);
        EXPECT_TRUE(host.areaControls[kIdEditWidth]);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const std::string text = boxes.Boxes()[0].text;
        EXPECT_NE(text.find(c.words), std::string::npos) << text;
        for (const std::string& file : c.kept) EXPECT_NE(text.find(file), std::string::npos) << text;
        if (c.kept.size() == 1) {
            EXPECT_EQ(text.find(sound), std::string::npos) << text;
        }
        for (const std::string& file : c.kept) EXPECT_TRUE(log.Has(file)) << "the log names " << file;
        EXPECT_TRUE(platform::FileExists(video)) << "the files are kept";

        control.OnStart();
        EXPECT_EQ(started.size(), starts + 2) << "a new recording starts";
        control.OnStop();
        ThreadEnds();
    }
}

TEST_F(ControlTest, AnInterruptionOfAnEarlierRecordingLeavesTheCurrentOneRunning) {
    control.OnStart();
    const platform::LPARAM earlier = started.back().recordingNumber;
    control.OnStop();
    ThreadEnds();
    control.OnStart();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_NE(started.back().recordingNumber, earlier);
    testsupport::MessageBoxRecorder boxes;
    control.OnRecordInterrupted(kInterruptWrite, earlier);
    EXPECT_EQ(State(), "110 011");
    EXPECT_TRUE(host.statusVisible);
    EXPECT_EQ(boxes.Boxes().size(), 1u) << "the earlier recording's fate is still told";
}

TEST_F(ControlTest, StartWhileThePreviousThreadIsClosingIsRefused) {
    control.OnStart();
    control.OnStop();
    rectest::LogTail log;
    control.OnStart();  // the thread has not posted its final message yet
    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(State(), "000 100");
    EXPECT_TRUE(log.Has("Start refused"));
    ThreadEnds();
    control.OnStart();
    EXPECT_EQ(started.size(), 2u);
    EXPECT_EQ(State(), "110 011");
}

TEST_F(ControlTest, JobIsASnapshotOfTheSettings) {
    settings::RecordSettings& s = host.settings;
    s.FrameRate = 30;
    s.VideoQuanlity = 80;
    s.HighLightMouseCOLOR = 0x123456;
    s.ClickHighMouseLeftCOLOR = 0x11;
    s.ClickHighMouseRightCOLOR = 0x22;
    s.HighLightMouse = 1;
    s.RecordMouse = 0;
    s.ClickHighMouse = 1;
    s.HighLightSize = 41;
    s.VideoType = 104;
    s.AutoSave = 1;
    s.FlashingRect = 0;
    s.RecordAudio = 1;
    host.cancelConvert = 1;
    control.OnStart();
    RecordJob& j = control.Job();
    EXPECT_EQ(j.FrameRate, 30);
    EXPECT_EQ(j.MsPerFrame, 33);
    EXPECT_EQ(j.Quality, 8000);
    EXPECT_EQ(j.HighLightMouseCOLOR, 0x123456);
    EXPECT_EQ(j.ClickHighMouseLeftCOLOR, 0x11);
    EXPECT_EQ(j.ClickHighMouseRightCOLOR, 0x22);
    EXPECT_EQ(j.HighLightMouse, 1);
    EXPECT_EQ(j.RecordMouse, 0);
    EXPECT_EQ(j.ClickHighMouse, 1);
    EXPECT_EQ(j.HighLightSize, 41);
    EXPECT_EQ(j.VideoType, 104);
    EXPECT_EQ(j.AutoSave, 1);
    EXPECT_EQ(j.FlashingRect, 0);
    EXPECT_EQ(j.RecordAudio, 1);
    EXPECT_EQ(j.KeyFrameEvery, 20);
    EXPECT_EQ(host.cancelConvert.load(), 0);
    EXPECT_EQ(host.settings.RecordLeft, 100);
    EXPECT_EQ(host.settings.RecordBottom, 200);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].avi, &avi);
    EXPECT_EQ(started[0].frameWindow, &frame);

    s.FrameRate = 5;  // a change during the recording waits for the next Start
    control.OnPause();
    control.OnStart();
    EXPECT_EQ(j.FrameRate, 30);
}

TEST_F(ControlTest, FrameRateZeroIsTakenAsOne) {
    host.settings.FrameRate = 0;
    control.OnStart();
    EXPECT_EQ(control.Job().FrameRate, 1);
    EXPECT_EQ(control.Job().MsPerFrame, 1000);
}

TEST_F(ControlTest, FrameRatesOutOfRangeAreBroughtIntoItAndLogged) {
    struct Case {
        int setting, used, msPerFrame;
        bool logged;
    } cases[] = {{100000, 100, 10, true}, {101, 100, 10, true}, {100, 100, 10, false},
                 {1, 1, 1000, false},     {-5, 1, 1000, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        host.settings.FrameRate = c.setting;
        rectest::LogTail log;
        control.OnStart();
        EXPECT_EQ(control.Job().FrameRate, c.used);
        EXPECT_EQ(control.Job().MsPerFrame, c.msPerFrame);
        EXPECT_EQ(host.settings.FrameRate, c.used);
        EXPECT_EQ(log.Has("FrameRate " + std::to_string(c.setting) + " cannot be recorded"), c.logged);
        control.OnStop();
        ThreadEnds();
    }
}

TEST_F(ControlTest, ARegionBeyondTheScreenIsRecordedWhereItLiesOnTheScreen) {
    struct Case {
        const char *left, *top, *width, *height;
        int x, y, w, h;  // what is recorded on the 1920 x 1080 screen
    } cases[] = {
        {"100", "100", "653", "99999", 100, 100, 653, 980},   // a hand-edited height
        {"-50", "-20", "300", "200", 0, 0, 250, 180},         // over the top-left corner
        {"1800", "900", "400", "400", 1800, 900, 120, 180},   // over the bottom-right corner
        {"5000", "100", "300", "200", 1620, 100, 300, 200},   // wholly beyond: moved on
        {"1910", "0", "300", "2000", 1620, 0, 300, 1080},     // 10 pixels left: moved on
        {"0", "0", "1920", "1080", 0, 0, 1920, 1080},         // the screen itself: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.left) + "," + c.top + " " + c.width + "x" + c.height);
        host.edits = {{kIdEditLeft, c.left}, {kIdEditTop, c.top}, {kIdEditWidth, c.width},
                      {kIdEditHeight, c.height}};
        rectest::LogTail log;
        control.OnStart();
        ASSERT_FALSE(started.empty());
        const RecordEnvironment& env = started.back();
        EXPECT_EQ((std::vector<int>{env.left, env.top, env.width, env.height}),
                  (std::vector<int>{c.x, c.y, c.w, c.h}));
        EXPECT_EQ((std::vector<int>{host.settings.RecordLeft, host.settings.RecordTop,
                                    host.settings.RecordRight, host.settings.RecordBottom}),
                  (std::vector<int>{c.x, c.y, c.w, c.h}));
        const bool changed = std::to_string(c.w) != c.width || std::to_string(c.x) != c.left ||
                             std::to_string(c.h) != c.height || std::to_string(c.y) != c.top;
        EXPECT_EQ(log.Has("lies beyond the 1920x1080 screen"), changed);
        control.OnStop();
        ThreadEnds();
    }
    // A second screen to the right of the first: a region on it is left where it is.
    host.desktopWidth = 3840;
    host.edits = {{kIdEditLeft, "2000"}, {kIdEditTop, "100"}, {kIdEditWidth, "300"},
                  {kIdEditHeight, "200"}};
    control.OnStart();
    EXPECT_EQ(started.back().left, 2000);
    EXPECT_EQ(started.back().width, 300);
}

TEST_F(ControlTest, NoSoundDeviceRecordsWithoutSound) {
    testsupport::MessageBoxRecorder boxes;
    rectest::LogTail log;
    host.settings.RecordAudio = 1;
    host.waveIn = 0;
    control.OnStart();
    EXPECT_EQ(control.Job().RecordAudio, 0);
    EXPECT_TRUE(log.Has("waveInGetNumDevs() == 0,No audio input device!"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, GetText("MsgBox", "NoAudioDevice"));
    EXPECT_EQ(started.size(), 1u);
    EXPECT_TRUE(log.Has("Start Record,Record Audio 0,Record Mouse 1"));
    EXPECT_TRUE(log.Has("File Type is 100 "));
}

TEST_F(ControlTest, ClickHookFollowsStartAndStop) {
    host.settings.ClickHighMouse = 1;
    control.OnStart();
    EXPECT_EQ(host.hookInstalled.load(), 7);
    control.OnStop();
    EXPECT_EQ(host.hookInstalled.load(), 0);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "unhook"), 1);
    ThreadEnds();
    host.hookResult = 0;  // the hook cannot be had: tried again at the next Start
    control.OnStart();
    control.OnStop();
    ThreadEnds();
    host.hookResult = 9;
    control.OnStart();
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "hook"), 3);
    EXPECT_EQ(host.hookInstalled.load(), 9);

    control.Job().ClickState = 0;
    control.OnButtonDown(true);
    EXPECT_EQ(control.Job().ClickState.load(), 2);
}

TEST_F(ControlTest, HotKeysAndFlashFrameDispatch) {
    control.OnHotKey(kHotKeyStart, 0);
    EXPECT_EQ(State(), "110 011");
    control.OnHotKey(0xB1A6, 0);
    EXPECT_EQ(State(), "110 011");
    control.OnHotKey(kHotKeyPause, 0);
    EXPECT_EQ(State(), "111 101");
    control.OnHotKey(kHotKeyStop, 0);
    EXPECT_EQ(State(), "000 100");

    frameCalls.clear();
    host.edits = {{kIdEditLeft, "100"}, {kIdEditTop, "100"}, {kIdEditWidth, "300"}, {kIdEditHeight, "x"}};
    EXPECT_EQ(control.OnFlashFrame(0, 0), 0);
    EXPECT_EQ(control.Job().Height, 0) << "no validation";
    host.edits[kIdEditHeight] = "200";
    control.OnFlashFrame(0, 0);
    control.OnFlashFrame(2, 0);
    control.OnFlashFrame(1, 0);
    EXPECT_EQ(frameCalls, (std::vector<std::string>{"region", "show", "region", "show",
                                                    "fill 92,92,407,307 0000FF", "hide"}));
}

TEST_F(ControlTest, StopAfterFullScreenEnablesOnlyTheModeButtons) {
    host.settings.RecordMode = 1;
    control.OnStart();
    host.areaControls.clear();
    control.OnStop();
    EXPECT_EQ(host.areaControls, (std::map<int, bool>{{kIdFullScreen, true}, {kIdSelectedRegion, true}}));
}

TEST_F(ControlTest, MainWindowMessagesReachTheControl) {
    platform::MessageWindow window;
    RecordingControl* routed = nullptr;
    RouteRecordingMessages(window, [&routed] { return routed; });
    EXPECT_EQ(platform::SendMessage(window.Handle(), platform::WM_HOTKEY, kHotKeyStart, 0), 0);
    EXPECT_EQ(State(), "000 000") << "nothing reaches a control that is not there";
    routed = &control;
    frameCalls.clear();
    EXPECT_EQ(platform::SendMessage(window.Handle(), WM_USER_FLASHFRAME, 1, 0), 0);
    EXPECT_EQ(frameCalls, (std::vector<std::string>{"hide"}));
    platform::SendMessage(window.Handle(), platform::WM_HOTKEY, kHotKeyStart, 0);
    EXPECT_EQ(State(), "110 011");
    testsupport::MessageBoxRecorder boxes;
    platform::PostMessage(window.Handle(), WM_USER_RECORDINTERRUPTED, 0, 0);
    EXPECT_TRUE(testsupport::WaitUntil([this] { return control.Job().Running == 0; }));
    EXPECT_EQ(State(), "000 100");
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}
