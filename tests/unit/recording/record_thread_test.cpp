#include "fakes.h"
#include "platform/core/messages.h"
#include "recording/flashing_wnd.h"
#include "recording/record_thread.h"
#include "recording/recording_messages.h"
#include "recording/temp_files.h"

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>

using namespace recording;

namespace {

// Frames of a fixed size; each grab may run an action, and a grab can be made to fail.
class ScriptedFrames : public FrameSource {
public:
    std::function<void(int grab)> onGrab;     // grab 0 is the format frame
    int failAtGrab = -1;
    int grabs = 0;
    int outstanding = 0;

    std::uint8_t* CaptureFrame(RecordJob&, int, int, int width, int height) override {
        int index = grabs++;
        if (onGrab) onGrab(index);
        if (index == failAtGrab) return nullptr;
        Bitmap b;
        b.width = width;
        b.height = height;
        b.stride = DibStride(width, 24);
        b.bits.assign(static_cast<std::size_t>(b.stride) * height, 0x80);
        ++outstanding;
        return Bitmap2Dib(b, 24, {});
    }
    void FreeFrame(std::uint8_t* dib) override {
        --outstanding;
        std::free(dib);
    }
};

class RecordVideoTest : public ::testing::Test {
protected:
    RecordVideoTest() {
        window.On(WM_USER_RECORDFINISH, [this](platform::WPARAM, platform::LPARAM) {
            ended.push_back("finish");
            return 0;
        });
        window.On(WM_USER_RECORDINTERRUPTED, [this](platform::WPARAM w, platform::LPARAM l) {
            ended.push_back("interrupted");
            reasons.push_back(static_cast<int>(w));
            numbers.push_back(l);
            return 0;
        });
        job.Running = 1;
        job.FrameRate = 20;
        job.MsPerFrame = 50;
        job.RecordMode = 0;
        job.FlashingRect = 1;
        env.job = &job;
        env.mainWindow = window.Handle();
        env.frameWindow = &frame;
        env.sound = &sound;
        env.avi = &avi;
        env.clock = &clock;
    }

    // Runs until the scripted grabs are used up (Running is then cleared).
    void Run(int loopGrabs) {
        frames.onGrab = [this, loopGrabs, user = frames.onGrab](int grab) {
            if (user) user(grab);
            if (grab >= loopGrabs) job.Running = 0;
        };
        RecordVideo(env, frames, "/tmp/never-written.avi", 100, 100, 64, 48, job.FrameRate);
        testsupport::WaitUntil([this] { return !ended.empty(); }, std::chrono::milliseconds(500));
    }

    platform::MessageWindow window;
    std::vector<std::string> ended;
    std::vector<int> reasons;
    std::vector<platform::LPARAM> numbers;
    RecordJob job;
    std::vector<std::string> frameCalls;
    CFlashingWnd frame{1920, 1080, std::make_unique<rectest::FakeFrameHost>(&frameCalls)};
    rectest::FakeSound sound;
    rectest::FakeAvi avi;
    rectest::FakeClock clock;
    ScriptedFrames frames;
    RecordEnvironment env;
};

}  // namespace

// Positions follow the clock at the stream's own rate, also where the rate does not divide 1000
// (30 fps: a minute of recording is a minute of video, not 1 % more).
TEST(FramePosition, FollowsTheClockWithTruncation) {
    struct Case {
        std::int32_t frameRate;
        std::uint32_t elapsed, position;
    } cases[] = {
        {20, 1000, 20}, {20, 1130, 22}, {20, 49, 0},   {10, 1999, 19},
        {30, 60000, 1800}, {30, 33, 0}, {30, 34, 1},   {15, 1000, 15}, {15, 600000, 9000},
        {25, 1000, 25},  {1, 2500, 2}, {20, 4000000000u, 80000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FramePosition(c.frameRate, c.elapsed), c.position)
            << c.frameRate << " fps at " << c.elapsed;
}

TEST_F(RecordVideoTest, FramesGoToThePositionOfTheirGrabTime) {
    // The loop starts at 0; the grabs after the first come at 1000 ms and 1130 ms.
    clock.readings = {0, 1000, 1130};
    Run(3);
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 20, 22}));
    EXPECT_EQ(ended, (std::vector<std::string>{"finish"}));
    EXPECT_EQ(frames.outstanding, 0);
}

TEST_F(RecordVideoTest, FirstLoopFrameIsWrittenAtZeroAfterTheFormatFrame) {
    clock.readings = {700, 760};
    Run(2);
    EXPECT_EQ(frames.grabs, 3);
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 1}));
}

TEST_F(RecordVideoTest, GrabsOnAWrittenPositionAreDroppedWithoutError) {
    job.FrameRate = 30;
    job.MsPerFrame = 33;
    // 32 ms after the start is still position 0; 70 ms is position 2; 75 ms is 2 again.
    clock.readings = {0, 32, 70, 75};
    Run(4);
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 2}));
    EXPECT_EQ(ended, (std::vector<std::string>{"finish"}));
}

TEST_F(RecordVideoTest, TenSecondsOfPauseLeaveNoGap) {
    frames.onGrab = [this](int grab) {
        if (grab == 2) job.Paused = 1;  // paused right after the frame at position 1
    };
    clock.onSleep = [this] {
        if (job.Paused && clock.now >= 10050) job.Paused = 0;
    };
    Run(4);
    // Frames at 0 and 50 ms (position 1), ten seconds of pause, then a grab on position 1
    // again (dropped) and one at position 2.
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 1, 2}));
    EXPECT_GE(clock.now, 10000u);
}

// The picture's time zero is taken after sound capture has started, and a pause leaves the same
// stretch out of the sound as out of the picture, counted from that zero.
TEST_F(RecordVideoTest, SoundStartsAtTimeZeroAndLosesThePausedStretchToo) {
    job.RecordAudio = 1;
    clock.now = 500;
    frames.onGrab = [this](int grab) {
        if (grab == 1) sound.calls.push_back("first frame at " + std::to_string(clock.now - job.StartTime));
        if (grab == 2) job.Paused = 1;
    };
    clock.onSleep = [this] {
        if (job.Paused && clock.now >= 4000) job.Paused = 0;
    };
    Run(3);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"open", "start", "first frame at 0", "pause@50",
                                                     "resume@3500", "stop", "destroy"}));
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 1}));
}

// With sound the frames are placed by the sound device's clock once it can tell its time, never
// going back; the system clock stands in before.
TEST_F(RecordVideoTest, WithSoundFramesFollowTheDevicesClock) {
    job.RecordAudio = 1;
    job.FrameRate = 30;
    job.MsPerFrame = 33;
    clock.readings = {1000, 1040, 5000, 9000, 9000};  // the system clock, far off
    sound.clockReadings.clear();
    frames.onGrab = [this](int grab) {
        // The device knows its time from the third loop grab on: 2000 ms, then 1990 ms.
        if (grab == 2) sound.clockReadings = {2000, 1990};
    };
    Run(4);
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 1, 60}));
}

TEST_F(RecordVideoTest, FramePeriodIsSleptInSlicesAndStopIsSeenAfterOne) {
    job.FrameRate = 8;
    job.MsPerFrame = 125;
    Run(2);
    std::vector<std::uint32_t> period = {50, 50, 25};
    ASSERT_GE(clock.sleeps.size(), 3u);
    EXPECT_EQ(std::vector<std::uint32_t>(clock.sleeps.begin(), clock.sleeps.begin() + 3), period);

    rectest::FakeClock other;
    env.clock = &other;
    job.Running = 1;
    ended.clear();
    other.onSleep = [this] { job.Running = 0; };  // Stop during the first slice
    frames.onGrab = nullptr;
    RecordVideo(env, frames, "/tmp/never-written.avi", 100, 100, 64, 48, 8);
    EXPECT_EQ(other.sleeps, (std::vector<std::uint32_t>{50}));
}

TEST_F(RecordVideoTest, StopDuringSetupGivesACompleteFileWithoutFrames) {
    avi.onStep = [this](rectest::FakeAvi::Step step) {
        if (step == rectest::FakeAvi::kCreate) job.Running = 0;
    };
    RecordVideo(env, frames, "/tmp/never-written.avi", 100, 100, 64, 48, 20);
    testsupport::WaitUntil([this] { return !ended.empty(); }, std::chrono::milliseconds(500));
    EXPECT_TRUE(avi.positions.empty());
    EXPECT_EQ(avi.calls, (std::vector<std::string>{"open", "create", "compress", "format",
                                                   "release-compressed", "release-stream",
                                                   "release-file"}));
    EXPECT_EQ(ended, (std::vector<std::string>{"finish"}));
}

TEST_F(RecordVideoTest, StreamIsDescribedByTheFirstFrame) {
    job.FrameRate = 15;
    job.MsPerFrame = 66;
    job.Quality = 6500;
    Run(1);
    EXPECT_EQ(avi.info.fccType, platform::media::streamtypeVIDEO);
    EXPECT_EQ(avi.info.fccHandler, 0u);
    EXPECT_EQ(avi.info.dwScale, 1u);
    EXPECT_EQ(avi.info.dwRate, 15u);
    EXPECT_EQ(avi.info.dwSuggestedBufferSize, 192u * 48);
    EXPECT_EQ(avi.info.rcFrame.right, 64);
    EXPECT_EQ(avi.info.rcFrame.bottom, 48);
    EXPECT_EQ(avi.options.fccHandler, platform::media::MakeFourCC('M', 'S', 'V', 'C'));
    EXPECT_EQ(avi.options.dwKeyFrameEvery, 20u);
    EXPECT_EQ(avi.options.dwQuality, 6500u);
    EXPECT_EQ(avi.options.dwFlags, 0x0Cu);
    EXPECT_EQ(avi.formatSize, 40u);
    EXPECT_EQ(avi.format.biWidth, 64);
    EXPECT_EQ(avi.sizes, (std::vector<std::size_t>{192u * 48}));
    EXPECT_EQ(job.CodecFourCC, platform::media::MakeFourCC('M', 'S', 'V', 'C'));
}

TEST_F(RecordVideoTest, EachFailingStepIsLoggedAndInterruptsTheRecordingSayingWhy) {
    struct Case {
        rectest::FakeAvi::Step step;
        int error;  // the system error behind the failure
        const char* line;
        int reason;
        std::vector<std::string> releases;
        std::vector<std::string> sound;
    } cases[] = {
        {rectest::FakeAvi::kOpen, 0, "AVIFileOpen Error!", kInterruptCreate, {}, {}},
        {rectest::FakeAvi::kCreate, 0, "AVIFileCreateStream Error!", kInterruptSetup,
         {"release-file"}, {}},
        {rectest::FakeAvi::kCompress, 0, "AVIMakeCompressedStream Error!", kInterruptSetup,
         {"release-stream", "release-file"}, {}},
        {rectest::FakeAvi::kFormat, 0, "AVIStreamSetFormat Error!", kInterruptSetup,
         {"release-compressed", "release-stream", "release-file"}, {}},
        {rectest::FakeAvi::kFormat, ENOSPC, "AVIStreamSetFormat Error!", kInterruptDiskFull,
         {"release-compressed", "release-stream", "release-file"}, {}},
        {rectest::FakeAvi::kWrite, 0, "AVIStreamWrite Error!", kInterruptWrite,
         {"release-compressed", "release-stream", "release-file"},
         {"open", "start", "stop", "destroy"}},
        {rectest::FakeAvi::kWrite, ENOSPC, "AVIStreamWrite Error!", kInterruptDiskFull,
         {"release-compressed", "release-stream", "release-file"},
         {"open", "start", "stop", "destroy"}},
        {rectest::FakeAvi::kWrite, EDQUOT, "AVIStreamWrite Error!", kInterruptDiskFull,
         {"release-compressed", "release-stream", "release-file"},
         {"open", "start", "stop", "destroy"}},
        {rectest::FakeAvi::kWrite, EIO, "AVIStreamWrite Error!", kInterruptWrite,
         {"release-compressed", "release-stream", "release-file"},
         {"open", "start", "stop", "destroy"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " errno " + std::to_string(c.error));
        rectest::FakeAvi failing;
        failing.failAt = c.step;
        failing.failOnWrite = 2;
        failing.writeError = c.error;
        rectest::FakeSound sounds;
        rectest::FakeClock ticks;
        ScriptedFrames source;
        RecordEnvironment e = env;
        e.avi = &failing;
        e.sound = &sounds;
        e.clock = &ticks;
        e.recordingNumber = 7;
        job.Running = 1;
        job.RecordAudio = 1;
        ended.clear();
        reasons.clear();
        numbers.clear();
        frameCalls.clear();
        rectest::LogTail log;
        testsupport::MessageBoxRecorder boxes;
        RecordVideo(e, source, "/tmp/never-written.avi", 100, 100, 64, 48, 20);
        testsupport::WaitUntil([this] { return !ended.empty(); }, std::chrono::milliseconds(500));

        EXPECT_TRUE(log.Has(c.line));
        EXPECT_TRUE(log.Has("WM_USER_RECORDINTERRUPTED!"));
        EXPECT_EQ(ended, (std::vector<std::string>{"interrupted"}));
        EXPECT_EQ(reasons, (std::vector<int>{c.reason}));
        EXPECT_EQ(numbers, (std::vector<platform::LPARAM>{7}));
        EXPECT_TRUE(boxes.Boxes().empty()) << "the main window tells the user";
        std::vector<std::string> releases;
        for (const std::string& call : failing.calls)
            if (call.rfind("release", 0) == 0) releases.push_back(call);
        EXPECT_EQ(releases, c.releases);
        EXPECT_EQ(sounds.calls, c.sound);
        EXPECT_EQ(frameCalls.back(), "hide");
        EXPECT_EQ(source.outstanding, 0);
        if (c.step == rectest::FakeAvi::kWrite) {
            EXPECT_EQ(failing.positions, (std::vector<long>{0})) << "the first frame is kept";
        }
    }
}

TEST_F(RecordVideoTest, MissingFrameMemoryInterruptsAndKeepsWhatWasWritten) {
    testsupport::MessageBoxRecorder boxes;
    rectest::LogTail log;
    job.RecordAudio = 1;
    frames.failAtGrab = 4;
    Run(10);
    EXPECT_EQ(avi.positions, (std::vector<long>{0, 1, 2}));
    EXPECT_EQ(ended, (std::vector<std::string>{"interrupted"}));
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"open", "start", "stop", "destroy"}));
    EXPECT_EQ(avi.calls.back(), "release-file");
    EXPECT_TRUE(log.Has("GlobalLock(Bitmap2Dib()) Error!"));
    // Said by the main window, which gets the reason with the message.
    EXPECT_EQ(reasons, (std::vector<int>{kInterruptMemory}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(job.ThreadActive.load(), 0);
}

TEST_F(RecordVideoTest, OldVideoInterfaceEndsWithoutAMessage) {
    testsupport::MessageBoxRecorder boxes;
    rectest::LogTail log;
    avi.version = 0x01090000;
    RecordVideo(env, frames, "/tmp/never-written.avi", 100, 100, 64, 48, 20);
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(avi.calls.empty());
    EXPECT_EQ(frames.grabs, 0);
    EXPECT_TRUE(log.Has("Video Version is too low!"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.Boxes()[0].owner, window.Handle());
    EXPECT_EQ(boxes.Boxes()[0].type & 0xF0, static_cast<unsigned>(platform::MB_ICONERROR));
}

TEST_F(RecordVideoTest, SoundRunsAroundTheLoopOnlyWhenAsked) {
    frames.onGrab = [this](int grab) {
        if (grab == 1) sound.calls.push_back("loop");
    };
    job.RecordAudio = 1;
    Run(2);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"open", "start", "loop", "stop", "destroy"}));

    rectest::FakeSound silent;
    env.sound = &silent;
    job.RecordAudio = 0;
    job.Running = 1;
    frames.onGrab = nullptr;
    Run(frames.grabs + 1);
    EXPECT_TRUE(silent.calls.empty());
}

TEST_F(RecordVideoTest, ASoundStartThatFailedIsLoggedAndTheVideoGoesOn) {
    rectest::LogTail log;
    sound.startResult = false;
    job.RecordAudio = 1;
    Run(3);
    EXPECT_TRUE(log.Has("StartAudioRecording Error")) << log.Text();
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"open", "start", "stop", "destroy"}));
    EXPECT_EQ(ended, (std::vector<std::string>{"finish"}));
}

TEST_F(RecordVideoTest, FrameIsShownOnlyAroundARegionRecording) {
    Run(1);
    ASSERT_GE(frameCalls.size(), 3u);
    EXPECT_EQ(frameCalls[0], "region");
    EXPECT_EQ(frameCalls[1], "show");
    EXPECT_EQ(frameCalls.back(), "hide");

    frameCalls.clear();
    job.RecordMode = 1;
    job.Running = 1;
    Run(frames.grabs + 1);
    EXPECT_TRUE(frameCalls.empty());
}

TEST(TempNames, BusyNamesGiveNumberedOnesAndRetriesAreBounded) {
    std::string path;
    std::vector<std::string> tried;
    auto refuseFirst = [&tried](const std::string& p) {
        tried.push_back(p);
        return tried.size() > 1;
    };
    ASSERT_TRUE(MakeTempPath("/f/", ".avi", path, refuseFirst));
    EXPECT_EQ(tried[0], "/f/temp.avi");
    ASSERT_EQ(tried.size(), 2u);
    std::string number = path.substr(7, path.size() - 7 - 4);
    EXPECT_EQ(path.substr(0, 7), "/f/temp");
    EXPECT_EQ(path.substr(path.size() - 4), ".avi");
    ASSERT_FALSE(number.empty());
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_LE(std::stoi(number), 32767);

    int calls = 0;
    EXPECT_FALSE(MakeTempPath("/f/", ".avi", path, [&calls](const std::string&) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1000);
}

TEST(TempNames, AnExistingFileIsNeverTakenOver) {
    testsupport::TempDir dir;
    std::string path;
    ASSERT_TRUE(MakeTempPath(dir.Path(), ".avi", path));
    EXPECT_EQ(path, dir.File("temp.avi"));
    EXPECT_FALSE(platform::FileExists(path)) << "the claimed name is left free";

    testsupport::WriteFile(dir.File("temp.avi"), "unfinished video");
    ASSERT_TRUE(MakeTempPath(dir.Path(), ".avi", path));
    EXPECT_NE(path, dir.File("temp.avi"));
    EXPECT_EQ(testsupport::ReadFile(dir.File("temp.avi")), "unfinished video");
}

TEST(TempNames, WithoutAPrivateTempFolderTheProgramFolderIsUsed) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("not-a-folder"), "");
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", dir.File("not-a-folder").c_str(), 1);
    EXPECT_EQ(GetTempFolder(), platform::GetProgramFolder());
    setenv("TMPDIR", dir.Path().c_str(), 1);
    EXPECT_EQ(GetTempFolder().rfind(dir.Path(), 0), 0u);
    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}
