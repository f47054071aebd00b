// The circulating capture buffers and the failure handling of CWaveInCapture, on a fake device.
#include "audio/sound_formats.h"
#include "audio/wave_in_capture.h"
#include "companions/phrasebook/phrasebook.h"
#include "fake_wave_in.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <thread>

using namespace platform;

namespace {

std::string ErrorText(MMRESULT code) {
    char text[300];
    WaveInErrorText(code, text, sizeof text);
    return text;
}

std::string LogPath() { return GetProgramFolder() + "Diary/RiviveZuzuve.log"; }

struct Box {
    std::string text, caption;
    unsigned type;
    bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "{\"" << b.text << "\", \"" << b.caption << "\", " << b.type << "}";
}

// "a×1000 b×764 ...": a sound file's bytes as runs of equal values.
std::string Runs(const std::string& bytes) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find_first_not_of(bytes[at], at);
        if (end == std::string::npos) end = bytes.size();
        out += std::string(1, bytes[at]) + "x" + std::to_string(end - at) + " ";
        at = end;
    }
    return out;
}

class SoundQueueTest : public ::testing::Test {
protected:
    SoundQueueTest() {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        settings.Audio_bits_per_sample = 8;
        settings.Audio_num_channels = 1;
        settings.Audio_samples_per_seconds = 11025;
        window.On(MM_WIM_DATA, [this](WPARAM w, LPARAM l) { return capture->OnWIM_DATA(w, l); });
        logStart = testsupport::ReadFile(LogPath()).size();
    }
    ~SoundQueueTest() override {
        running = 0;
        capture.reset();
    }

    void MakeCapture(std::string folder) {
        capture = std::make_unique<audio::CWaveInCapture>(window.Handle(), settings, running,
                                                          device, [folder] { return folder; });
    }
    void Begin() {
        MakeCapture(dir.Path());
        running = 1;
        capture->OpenSoundFile();
        started = capture->StartAudioRecording();
    }
    // The window handles what the device handed back.
    void Settle() { ASSERT_TRUE(testsupport::ProcessPosted()); }
    void Fill(char value) {
        ASSERT_TRUE(device.FillOne(value));
        Settle();
    }
    // Stop as the recording thread does it, while this thread goes on serving the window.
    void End() {
        running = 0;
        std::atomic<int> done{0};
        std::thread recording([&] {
            capture->StopAudioRecording();
            capture->DestroySoundFile();
            done = 1;
        });
        testsupport::WaitUntil([&] { return done.load() == 1; }, std::chrono::seconds(5));
        recording.join();
        Settle();
    }
    std::vector<Box> BoxesShown() const {
        std::vector<Box> out;
        for (const auto& r : boxes.Boxes()) {
            EXPECT_EQ(r.owner, window.Handle() * (r.text != "Audio buffer space run out."));
            out.push_back({r.text, r.caption, r.type});
        }
        return out;
    }
    bool started = false;
    std::string NewLogLines() const { return testsupport::ReadFile(LogPath()).substr(logStart); }
    // The data chunk, without the pad byte of an odd length.
    std::string Data() const {
        std::string file = testsupport::ReadFile(capture->TempWavPath());
        if (file.size() < 46) return {};
        std::size_t length = 0;
        for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<std::uint8_t>(file[42 + i]);
        return file.substr(46, length);
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxRecorder boxes;
    audiotest::FakeWaveIn device;
    settings::RecordSettings settings;
    std::atomic<std::int32_t> running{0};
    MessageWindow window;
    std::unique_ptr<audio::CWaveInCapture> capture;
    std::size_t logStart = 0;
};

TEST_F(SoundQueueTest, FilledBuffersAreWrittenInOrderPausedOnesDroppedAndAllRetiredAtStop) {
    Begin();
    EXPECT_EQ(capture->QueuedBuffers(), 3);
    Fill('a');
    // 1000 frames of 11025 Hz per buffer: 181 ms is frame 1996 (in 'b'), 363 ms frame 4002 (in 'c').
    capture->PauseAt(181);
    Fill('b');
    Fill('p');
    Fill('q');
    EXPECT_EQ(capture->QueuedBuffers(), 3);
    EXPECT_EQ(device.Queued(), 3u);
    capture->ResumeAt(363);
    Fill('c');
    End();

    EXPECT_TRUE(BoxesShown().empty());
    EXPECT_EQ(capture->QueuedBuffers(), 0);
    EXPECT_FALSE(device.Open());
    EXPECT_FALSE(capture->HasSoundFile());
    // 1000-byte buffers; the half-filled one handed back by the reset is not written.
    EXPECT_EQ(Runs(Data()), "ax1000 bx996 cx998 ");
}

// A pause leaves out exactly the sample frames between its instants, wherever they fall in the
// buffers: 40 ms are 441 frames at 11025 Hz.
TEST_F(SoundQueueTest, PausesCutTheFramesBetweenTheirInstantsOutOfTheBuffers) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pauses;  // ms since the start
        std::string expected;                                          // of buffers a, b, c, d
    } cases[] = {
        {"inside one buffer", {{40, 80}},
         std::string(559, 'a') + std::string(1000, 'b') + std::string(1000, 'c') + std::string(1000, 'd')},
        {"across buffers", {{160, 300}}, std::string(1000, 'a') + std::string(764, 'b') + std::string(692, 'd')},
        {"two pauses", {{40, 80}, {320, 360}},
         std::string(559, 'a') + std::string(1000, 'b') + std::string(1000, 'c') + std::string(559, 'd')},
        {"never resumed", {{280, 0}}, std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c') + std::string(87, 'd')},
    };
    for (const Case& c : cases) {
        Begin();
        for (const auto& [from, to] : c.pauses) {
            capture->PauseAt(from);
            if (to) capture->ResumeAt(to);
        }
        for (char v : {'a', 'b', 'c', 'd'}) Fill(v);
        End();
        EXPECT_EQ(Runs(Data()), Runs(c.expected)) << c.name;
    }
}

// The device is kept ready while sound may be recorded, and let go once with the capture.
TEST_F(SoundQueueTest, TheDeviceIsKeptReadyOnlyWhileSoundMayBeRecorded) {
    for (int recordAudio : {0, 1}) {
        settings.RecordAudio = recordAudio;
        MakeCapture(dir.Path());
        EXPECT_EQ(device.keptReady, recordAudio);
        capture->KeepDeviceReady(true);
        capture->KeepDeviceReady(true);
        EXPECT_EQ(device.keptReady, 1);
        capture.reset();
        EXPECT_EQ(device.keptReady, 0);
    }
}

// Silence the server never delivered is logged once with its length; sound left out is not.
TEST_F(SoundQueueTest, SilenceAtTheStartIsLoggedWithItsLength) {
    struct Case {
        platform::WaveInStartInfo info;
        const char* line;
    } cases[] = {
        {{true, 0, 2205}, "Sound starts with 200 ms of silence: the sound server captured nothing for them"},
        {{true, 4410, 0}, nullptr},
        {{false, 0, 0}, nullptr},
    };
    for (const Case& c : cases) {
        device.startInfo = c.info;
        logStart = testsupport::ReadFile(LogPath()).size();
        Begin();
        Fill('a');
        Fill('b');
        End();
        const std::string lines = NewLogLines();
        if (c.line) {
            EXPECT_NE(lines.find(c.line), std::string::npos) << lines;
            EXPECT_EQ(lines.find("Sound starts"), lines.rfind("Sound starts")) << "logged once";
        } else {
            EXPECT_EQ(lines.find("Sound starts"), std::string::npos) << lines;
        }
    }
}

TEST_F(SoundQueueTest, UntilTheJobFlagsAreBoundFilledBuffersAreRetiredUnwritten) {
    std::string folder = dir.Path();
    capture = std::make_unique<audio::CWaveInCapture>(window.Handle(), settings, device,
                                                      [folder] { return folder; });
    capture->OpenSoundFile();
    capture->StartAudioRecording();
    Fill('a');
    EXPECT_EQ(capture->QueuedBuffers(), 2);
    capture->SetJobFlags(running);
    running = 1;
    Fill('b');
    EXPECT_EQ(capture->QueuedBuffers(), 2);
    End();
    EXPECT_EQ(Data(), std::string(1000, 'b'));
    EXPECT_TRUE(BoxesShown().empty());
}

TEST_F(SoundQueueTest, SixteenBitStereoBuffersHoldAThousandFrames) {
    settings.Audio_bits_per_sample = 16;
    settings.Audio_num_channels = 2;
    settings.Audio_samples_per_seconds = 44100;
    Begin();
    Fill('x');
    End();
    EXPECT_EQ(Data(), std::string(4000, 'x'));
    EXPECT_EQ(audio::CaptureFormat.nAvgBytesPerSec, 176400u);
}

struct FailureCase {
    const char* call;
    MMRESULT error;
    bool afterStart;  // the call fails only once capture runs
    int queuedAfterStart;
    std::vector<std::string> suffixes;  // of the "Wave in Error" boxes, in order
    const char* logLine;                // expected in the log, or null
    bool stillInQueue;                  // "Audio buffers still in queue!" at the end
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.call << (c.afterStart ? " fails while capturing" : " fails") << " with " << c.error;
}

class SoundFailureTest : public SoundQueueTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SoundFailureTest, ShowsTheErrorTextWithItsContext) {
    const FailureCase& c = GetParam();
    if (!c.afterStart) device.Fail(c.call, c.error);
    Begin();
    const std::string call = c.call;
    EXPECT_EQ(started, c.afterStart || (call != "open" && call != "start")) << "start result";
    EXPECT_EQ(capture->QueuedBuffers(), c.queuedAfterStart);
    if (c.afterStart) {
        device.Fail(c.call, c.error);
        Fill('a');
    }
    End();

    std::vector<Box> expected;
    for (const std::string& suffix : c.suffixes) {
        MMRESULT code = suffix == "in Stop()" && std::string(c.call) == "open" ? MMSYSERR_INVALHANDLE : c.error;
        expected.push_back({ErrorText(code) + " " + suffix, "Wave in Error", MB_ICONWARNING});
    }
    if (c.stillInQueue) expected.push_back({"Audio buffers still in queue!", "note", MB_OK});
    EXPECT_EQ(BoxesShown(), expected);
    if (c.logLine) {
        EXPECT_NE(NewLogLines().find(c.logLine), std::string::npos) << NewLogLines();
    }
    // Whatever failed, the sound file is complete.
    EXPECT_EQ(testsupport::ReadFile(capture->TempWavPath()).substr(0, 4), "RIFF");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SoundFailureTest,
    ::testing::Values(
        FailureCase{"open", MMSYSERR_NODRIVER, false, 0,
                    {"Error in StartAudioRecording()", "in Stop()"}, "Error in waveInOpen()", false},
        FailureCase{"start", MMSYSERR_ERROR, false, 3, {"Error in StartAudioRecording()"},
                    "Error in StartAudioRecording()", false},
        FailureCase{"prepare", MMSYSERR_INVALPARAM, false, 0,
                    {"in AddInputBufferToQueue()", "in AddInputBufferToQueue()", "in AddInputBufferToQueue()"},
                    nullptr, false},
        FailureCase{"add", MMSYSERR_NOMEM, false, 0,
                    {"Error in AddInputBufferToQueue()", "Error in AddInputBufferToQueue()",
                     "Error in AddInputBufferToQueue()"},
                    nullptr, false},
        FailureCase{"reset", MMSYSERR_ERROR, false, 3, {"in Stop()"}, nullptr, false},
        FailureCase{"stop", MMSYSERR_ERROR, false, 3, {"Error in StopAudioRecording() (WaveinStop)"}, nullptr, false},
        FailureCase{"close", MMSYSERR_HANDLEBUSY, false, 3, {"Error in StopAudioRecording() (WaveinClose)"}, nullptr, false},
        // A buffer that cannot be unprepared is neither reused nor freed and stays counted.
        FailureCase{"unprepare", MMSYSERR_ERROR, true, 3,
                    {"in OnWIM_DATA()", "in OnWIM_DATA()", "in OnWIM_DATA()"}, nullptr, true},
        // A buffer that cannot be queued again is retired.
        FailureCase{"add", WAVERR_UNPREPARED, true, 3, {"in OnWIM_DATA()"}, nullptr, false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        return std::string(info.param.call) + (info.param.afterStart ? "WhileCapturing" : "AtStart");
    });

TEST_F(SoundQueueTest, AFolderRefusingEverySoundFileNameIsReportedOnceAndKeepsTheVideoGoing) {
    MakeCapture("/nonexistent-rz-folder/");
    running = 1;
    capture->OpenSoundFile();
    EXPECT_TRUE(capture->StartAudioRecording());
    EXPECT_FALSE(capture->HasSoundFile());
    Fill('a');
    EXPECT_EQ(running.load(), 1);
    End();

    std::vector<Box> expected{{GetText("MsgBox", "UnableCreateFile"), "", MB_OK}};
    EXPECT_EQ(BoxesShown(), expected);
    EXPECT_NE(NewLogLines().find("MakeTempWavPath Error!"), std::string::npos) << NewLogLines();
    EXPECT_EQ(capture->QueuedBuffers(), 0);
    EXPECT_EQ(capture->TempWavPath(), "") << "no file of someone else's is handed to finishing";
}

TEST_F(SoundQueueTest, BuffersTheWindowCannotRetireInTimeAreReportedAndRetiredLater) {
    Begin();
    running = 0;
    capture->StopAudioRecording();  // on the window's own thread: nothing is retired meanwhile
    EXPECT_EQ(capture->QueuedBuffers(), 3);
    Settle();
    capture->DestroySoundFile();

    std::vector<Box> expected{{"Audio buffers still in queue!", "note", MB_OK}};
    EXPECT_EQ(BoxesShown(), expected);
    EXPECT_EQ(capture->QueuedBuffers(), 0);
}

TEST_F(SoundQueueTest, ANewRecordingReplacesTheSoundFileAndStartsCountingAgain) {
    Begin();
    Fill('a');
    End();
    std::string first = testsupport::ReadFile(capture->TempWavPath());
    running = 1;
    capture->OpenSoundFile();
    capture->StartAudioRecording();
    EXPECT_EQ(capture->QueuedBuffers(), 3);
    Fill('b');
    Fill('c');
    End();
    EXPECT_EQ(first.size(), 46u + 1000);
    EXPECT_EQ(Data(), std::string(1000, 'b') + std::string(1000, 'c'));
    EXPECT_TRUE(BoxesShown().empty());
}

// The window writes buffers while the recording thread completes the file (as after a video
// write error, when Running is still set): the file is completed once, after the write.
TEST_F(SoundQueueTest, TheSoundFileIsReleasedOnceWhileTheWindowWrites) {
    for (int round = 0; round < 20; ++round) {
        Begin();
        std::atomic<int> done{0};
        std::thread recording([&] {
            capture->DestroySoundFile();
            done = 1;
        });
        while (done.load() == 0) {
            if (!device.FillOne('a')) break;
            QCoreApplication::processEvents();
        }
        recording.join();
        Settle();
        End();
        std::string file = testsupport::ReadFile(capture->TempWavPath());
        ASSERT_GE(file.size(), 46u);
        EXPECT_EQ((file.size() - 46) % 1000, 0u);
        EXPECT_EQ(static_cast<std::uint8_t>(file[4]) | static_cast<std::uint8_t>(file[5]) << 8 |
                      static_cast<std::uint8_t>(file[6]) << 16,
                  file.size() - 8);
    }
    EXPECT_TRUE(BoxesShown().empty());
}

}  // namespace
