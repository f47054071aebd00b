// Sound capture against the session's sound server: a 1 kHz sine played into the null sink is
// recorded from its monitor through the wave-in device into the temporary WAVE file.
#include "capture_harness.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "platform/sound/wave_in.h"
#include "support/test_support.h"
#include "wave_analysis.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <thread>

using namespace audiotest;
using namespace std::chrono_literals;

namespace {

double SecondsBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double QuietestWindow(const WaveFile& w, std::size_t first);

void ExpectHeader(const WaveFile& w, int bits, int channels, int rate) {
    EXPECT_EQ(w.riff, "RIFF");
    EXPECT_EQ(w.wave, "WAVE");
    EXPECT_EQ(w.fmt, "fmt ");
    EXPECT_EQ(w.fmtLength, 18u);
    EXPECT_EQ(w.tag, 1);
    EXPECT_EQ(w.channels, channels);
    EXPECT_EQ(w.rate, static_cast<std::uint32_t>(rate));
    EXPECT_EQ(w.blockAlign, bits / 8 * channels);
    EXPECT_EQ(w.bytesPerSecond, static_cast<std::uint32_t>(bits / 8 * channels * rate));
    EXPECT_EQ(w.bits, bits);
    EXPECT_EQ(w.extraSize, 0);
    EXPECT_EQ(w.data, "data");
    EXPECT_EQ(w.fileSize, 46u + w.dataLength + (w.dataLength & 1));
    EXPECT_EQ(w.riffLength, w.fileSize - 8);
}

// What soxi reads from the file, or empty when soxi is not installed.
std::string Soxi(const std::string& option, const std::string& path) {
    if (QStandardPaths::findExecutable("soxi").isEmpty()) return {};
    QProcess p;
    p.start("soxi", {QString::fromStdString(option), QString::fromStdString(path)});
    p.waitForFinished(10000);
    return p.readAllStandardOutput().trimmed().toStdString();
}

class SoundCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (platform::SystemWaveIn().waveInGetNumDevs() == 0)
            GTEST_SKIP() << "no sound server with a capture source (run under scripts/session)";
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
    }
    testsupport::TempDir dir;
    testsupport::MessageBoxRecorder boxes;
};

struct Quality {
    int bits, channels, rate;
    std::uint32_t bufferBytes;
};

void PrintTo(const Quality& q, std::ostream* os) {
    *os << q.bits << " bits, " << q.channels << " channels, " << q.rate << " Hz";
}

class SoundQualityTest : public SoundCaptureTest, public ::testing::WithParamInterface<Quality> {};

TEST_P(SoundQualityTest, RecordsTheSineWithTheRightHeaderFrequencyAndLength) {
    const Quality q = GetParam();
    SinePlayer sine(dir.Path());
    ASSERT_TRUE(sine.Playing());
    CaptureHarness h(q.bits, q.channels, q.rate, dir.Path());
    h.Start();
    Pump(3000);
    EXPECT_EQ(h.capture->QueuedBuffers(), 3);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(h.capture->QueuedBuffers(), 0);
    EXPECT_EQ(h.capture->TempWavPath(), dir.File("temp.wav"));
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    ExpectHeader(w, q.bits, q.channels, q.rate);
    // Only whole buffers reach the file: the partly filled last one is not written.
    EXPECT_EQ(w.dataLength % q.bufferBytes, 0u);
    EXPECT_NEAR(Seconds(w), SecondsBetween(h.started, h.stopped), 0.150);
    double hz = DominantFrequency(w, w.rate / 5, w.rate, 900, 1100);
    EXPECT_NEAR(hz, 1000, 10);
    PhaseTrack phase = TrackPhase(w, 1000, w.rate / 5);
    std::printf("measured: %u bytes of data, %.3f s recorded in %.3f s, %.0f Hz, largest phase step %.3f rad\n",
                w.dataLength, Seconds(w), SecondsBetween(h.started, h.stopped), hz, phase.largestStep);
    EXPECT_GT(phase.windows, 50u);
    EXPECT_LT(phase.largestStep, 0.05);
    EXPECT_GT(phase.smallestLevel, 0.2);

    // RZ_KEEP_SOUND_DIR keeps the recordings for a closer look.
    if (const char* keep = std::getenv("RZ_KEEP_SOUND_DIR"))
        testsupport::WriteFile(std::string(keep) + "/" + std::to_string(q.bits) + "bit-" +
                                   std::to_string(q.channels) + "ch-" + std::to_string(q.rate) + ".wav",
                               testsupport::ReadFile(h.capture->TempWavPath()));
    std::string rate = Soxi("-r", h.capture->TempWavPath());
    if (!rate.empty()) {
        EXPECT_EQ(rate, std::to_string(q.rate));
        EXPECT_EQ(Soxi("-c", h.capture->TempWavPath()), std::to_string(q.channels));
        EXPECT_EQ(Soxi("-b", h.capture->TempWavPath()), std::to_string(q.bits));
        EXPECT_NEAR(std::stod(Soxi("-D", h.capture->TempWavPath())), Seconds(w), 0.001);
    }
}

INSTANTIATE_TEST_SUITE_P(Qualities, SoundQualityTest,
                         ::testing::Values(Quality{16, 2, 44100, 4000}, Quality{8, 1, 11025, 1000},
                                           Quality{16, 1, 22050, 2000}),
                         [](const ::testing::TestParamInfo<Quality>& info) {
                             return "Bits" + std::to_string(info.param.bits) + "Channels" +
                                    std::to_string(info.param.channels) + "Rate" +
                                    std::to_string(info.param.rate);
                         });

// Smallest level (RMS) of the 50 ms windows, 10 ms apart, from `first` on.
double QuietestWindow(const WaveFile& w, std::size_t first) {
    const std::size_t window = w.rate / 20, hop = w.rate / 100;
    double quietest = 1;
    for (std::size_t at = first; at + window <= w.samples.size(); at += hop) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i) sum += w.samples[i] * w.samples[i];
        quietest = std::min(quietest, std::sqrt(sum / window));
    }
    return quietest;
}

struct SteadyCase {
    Quality quality;
    bool pause;
};

void PrintTo(const SteadyCase& c, std::ostream* os) {
    PrintTo(c.quality, os);
    *os << (c.pause ? ", paused once" : "");
}

class SteadyToneTest : public SoundCaptureTest, public ::testing::WithParamInterface<SteadyCase> {};

// A tone that plays from before the start, from a player that asks for no particular latency, is
// in the sound from its first 200 ms on, whole and at its pitch, also across a pause; the device
// is kept ready as it is while sound may be recorded.
TEST_P(SteadyToneTest, KeepsItsPitchAndHasNoSilentStretch) {
    const SteadyCase c = GetParam();
    const double hz = 1733;
    SinePlayer tone(dir.Path(), false, 30, hz, 0);
    ASSERT_TRUE(tone.Playing());
    CaptureHarness h(c.quality.bits, c.quality.channels, c.quality.rate, dir.Path(), true);
    WaitForShortSinkLatency();
    h.Start();
    Pump(1500);
    if (c.pause) {
        h.Pause();
        Pump(1000);
        h.Resume();
    }
    Pump(1500);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    ASSERT_GT(Seconds(w), 2.5);
    const std::size_t skip = w.rate / 5;
    double found = DominantFrequency(w, skip, w.samples.size() - skip, hz * 0.9, hz * 1.1);
    double quietest = QuietestWindow(w, skip);
    std::printf("measured: %.0f Hz, quietest 50 ms after the first 200 ms at level %.3f, %.3f s of sound\n",
                found, quietest, Seconds(w));
    EXPECT_NEAR(found, hz, hz * 0.01);
    EXPECT_GT(quietest, 0.1);
    if (const char* keep = std::getenv("RZ_KEEP_SOUND_DIR"))
        testsupport::WriteFile(std::string(keep) + "/steady-" + std::to_string(c.quality.rate) +
                                   (c.pause ? "-paused" : "") + ".wav",
                               testsupport::ReadFile(h.capture->TempWavPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SteadyToneTest,
    ::testing::Values(SteadyCase{{8, 1, 11025, 1000}, false}, SteadyCase{{8, 1, 11025, 1000}, true},
                      SteadyCase{{16, 2, 44100, 4000}, false}, SteadyCase{{16, 2, 44100, 4000}, true}),
    [](const ::testing::TestParamInfo<SteadyCase>& info) {
        return "Bits" + std::to_string(info.param.quality.bits) + "Rate" +
               std::to_string(info.param.quality.rate) + (info.param.pause ? "Paused" : "");
    });

TEST_F(SoundCaptureTest, PauseRemovesItsSecondsWhileTheBuffersKeepCirculating) {
    SinePlayer sine(dir.Path());
    CaptureHarness h(16, 1, 22050, dir.Path());
    h.Start();
    Pump(1000);
    h.Pause();
    Pump(1000);
    EXPECT_EQ(h.capture->QueuedBuffers(), 3);
    Pump(1000);
    EXPECT_EQ(h.capture->QueuedBuffers(), 3);
    h.Resume();
    Pump(1000);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(h.capture->QueuedBuffers(), 0);
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    EXPECT_NEAR(Seconds(w), SecondsBetween(h.started, h.stopped) - 2.0, 0.150);
    std::printf("measured: %.3f s of sound for %.3f s with a pause of 2 s\n", Seconds(w),
                SecondsBetween(h.started, h.stopped));
}

TEST_F(SoundCaptureTest, HoldingTheUserInterfaceThreadForOneSecondLosesNoSound) {
    SinePlayer sine(dir.Path());
    CaptureHarness h(16, 2, 44100, dir.Path());
    h.Start();
    Pump(700);
    std::this_thread::sleep_for(1s);  // the window handles no message meanwhile
    Pump(1300);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    EXPECT_NEAR(Seconds(w), SecondsBetween(h.started, h.stopped), 0.150);
    PhaseTrack phase = TrackPhase(w, 1000, w.rate / 5);
    std::printf("measured: %.3f s of sound in %.3f s, largest phase step %.3f rad, smallest level %.2f\n",
                Seconds(w), SecondsBetween(h.started, h.stopped), phase.largestStep, phase.smallestLevel);
    EXPECT_GT(phase.windows, 60u);
    EXPECT_LT(phase.largestStep, 0.05);
    EXPECT_GT(phase.smallestLevel, 0.2);
}

// A monitor of a sink that has just gained a stream delivers nothing for up to its idle block: the
// start of the sound keeps that time as silence, and the sound stays as long as the recording.
TEST_F(SoundCaptureTest, AServerSlowToDeliverAtTheStartLeavesSilenceNotAShorterSound) {
    SinePlayer sine(dir.Path(), false);
    CaptureHarness h(16, 1, 22050, dir.Path());
    h.Start();
    Pump(3000);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    EXPECT_NEAR(Seconds(w), SecondsBetween(h.started, h.stopped), 0.150);
    std::size_t lead = 0;
    while (lead < w.samples.size() && w.samples[lead] == 0) ++lead;
    std::printf("measured: %.3f s of sound in %.3f s, %.3f s of it silence at the start\n", Seconds(w),
                SecondsBetween(h.started, h.stopped), static_cast<double>(lead) / w.rate);
    ASSERT_GT(w.samples.size(), lead + w.rate);
    EXPECT_NEAR(DominantFrequency(w, w.samples.size() - w.rate, w.rate, 900, 1100), 1000, 10);
    EXPECT_LT(TrackPhase(w, 1000, lead + w.rate / 10).largestStep, 0.05);
}

// A player that asks for no particular latency lets the sink render up to two seconds ahead, and a
// device opened at the start would be handed nothing of that: kept ready while sound may be
// recorded, the device finds the sound at once.
TEST_F(SoundCaptureTest, ADeviceKeptReadyFindsTheSoundAtOnceBehindASlowPlayer) {
    SinePlayer sine(dir.Path(), false, 30, 1000, 0);
    CaptureHarness h(16, 1, 22050, dir.Path(), true);
    WaitForShortSinkLatency();
    std::size_t logBefore = testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log").size();
    h.Start();
    Pump(1500);
    h.Stop();

    EXPECT_TRUE(boxes.Boxes().empty());
    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    std::size_t lead = 0;
    while (lead < w.samples.size() && w.samples[lead] == 0) ++lead;
    std::string log = testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log").substr(logBefore);
    std::printf("measured: %.3f s of silence at the start; log: %s\n", static_cast<double>(lead) / w.rate, log.c_str());
    EXPECT_LT(lead, w.rate / 10u);  // the sink's short lead at the start
    EXPECT_GT(QuietestWindow(w, w.rate / 10), 0.1);
}

// Without the device kept ready the same start leaves silence for what the server never delivered,
// and the log says how long.
TEST_F(SoundCaptureTest, SoundTheServerNeverDeliveredIsSilenceAndLogged) {
    SinePlayer sine(dir.Path(), false, 30, 1000, 0);
    Pump(2500);  // the player has played out the idle sink's lead and holds the sink at its own
    std::size_t logBefore = testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log").size();
    CaptureHarness h(16, 1, 22050, dir.Path());
    h.Start();
    Pump(3000);
    h.Stop();

    WaveFile w = ReadWave(h.capture->TempWavPath());
    ASSERT_TRUE(w.valid);
    std::size_t lead = 0;
    while (lead < w.samples.size() && w.samples[lead] == 0) ++lead;
    std::string log = testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log").substr(logBefore);
    std::printf("measured: %.3f s of silence at the start; log: %s\n", static_cast<double>(lead) / w.rate, log.c_str());
    ASSERT_GT(lead, w.rate / 10u) << "the player did not hold the sink at a long latency";
    unsigned loggedMs = 0;
    const std::size_t at = log.find("Sound starts with ");
    ASSERT_NE(at, std::string::npos);
    loggedMs = static_cast<unsigned>(std::atoi(log.c_str() + at + 18));
    EXPECT_NEAR(loggedMs, 1000.0 * lead / w.rate, 25);
    EXPECT_NEAR(Seconds(w), SecondsBetween(h.started, h.stopped), 0.150);
    EXPECT_LT(TrackPhase(w, 1000, lead + w.rate / 10).largestStep, 0.05);
}

TEST_F(SoundCaptureTest, StopBeforeTheFirstBufferGivesAnEmptyDataChunk) {
    CaptureHarness h(16, 2, 44100, dir.Path());
    h.Start();
    h.Stop();  // no message was handled while Running was set

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(h.capture->QueuedBuffers(), 0);
    WaveFile w = ReadWave(h.capture->TempWavPath());
    EXPECT_EQ(w.fileSize, 46u);
    EXPECT_EQ(w.dataLength, 0u);
    EXPECT_EQ(w.riffLength, 38u);
}

TEST_F(SoundCaptureTest, AnOccupiedTempWavLeadsToANumberedName) {
    std::string held = dir.File("temp.wav");
    testsupport::WriteFile(held, "held");
    QProcess holder;  // holds an exclusive lock on temp.wav, as another recorder would
    holder.start("flock", {"-x", QString::fromStdString(held), "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    Pump(300);
    CaptureHarness h(8, 1, 11025, dir.Path());
    h.Start();
    h.Stop();
    holder.kill();
    holder.waitForFinished();

    std::string path = h.capture->TempWavPath();
    EXPECT_NE(path, held);
    EXPECT_EQ(path.rfind(dir.File("temp"), 0), 0u);
    EXPECT_EQ(path.substr(path.size() - 4), ".wav");
    EXPECT_EQ(testsupport::ReadFile(held), "held");
    EXPECT_EQ(ReadWave(path).fileSize, 46u);
}

std::string WaveInText(platform::MMRESULT code) {
    char text[300];
    platform::SystemWaveIn().waveInGetErrorTextA(code, text, sizeof text);
    return text;
}

std::string LogText() { return testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log"); }

// A socket that accepts connections and never answers, standing for a hung sound server.
class SilentServer {
public:
    explicit SilentServer(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 8);
    }
    ~SilentServer() { close(fd_); }

private:
    int fd_;
};

// A second private sound server with neither sink nor source.
class SourcelessServer {
public:
    explicit SourcelessServer(const std::string& folder) : socket_(folder + "native") {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_RUNTIME_PATH", QString::fromStdString(folder));
        process_.setProcessEnvironment(env);
        process_.start("pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n",
                                      QString::fromStdString("--load=module-native-protocol-unix socket=" + socket_)});
        testsupport::WaitUntil([this] { return platform::FileExists(socket_); });
    }
    ~SourcelessServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
    }
    const std::string& Socket() const { return socket_; }

private:
    std::string socket_;
    QProcess process_;
};

// Runs a recording with PULSE_SERVER naming `server`.
class ServerOverride {
public:
    explicit ServerOverride(const std::string& server) {
        const char* previous = std::getenv("PULSE_SERVER");
        had_ = previous != nullptr;
        kept_ = previous ? previous : "";
        setenv("PULSE_SERVER", server.c_str(), 1);
    }
    ~ServerOverride() {
        if (had_) setenv("PULSE_SERVER", kept_.c_str(), 1); else unsetenv("PULSE_SERVER");
    }

private:
    bool had_;
    std::string kept_;
};

// The open fails with `code`: its box and log line at the start, "in Stop()" at the end, and a
// sound file without data.
void ExpectFailedOpen(const std::string& server, platform::MMRESULT code, const std::string& folder,
                      const testsupport::MessageBoxRecorder& boxes) {
    std::size_t logBefore = LogText().size();
    ServerOverride override(server);
    EXPECT_EQ(platform::SystemWaveIn().waveInGetNumDevs(), 0u);
    CaptureHarness h(16, 2, 44100, folder);
    h.Start();  // returns even from a server that does not answer
    Pump(300);
    h.Stop();

    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, WaveInText(code) + " Error in StartAudioRecording()");
    EXPECT_EQ(shown[1].text, WaveInText(platform::MMSYSERR_INVALHANDLE) + " in Stop()");
    for (const auto& box : shown) {
        EXPECT_EQ(box.caption, "Wave in Error");
        EXPECT_EQ(box.type, platform::MB_ICONWARNING);
        EXPECT_EQ(box.owner, h.window.Handle());
    }
    EXPECT_NE(LogText().substr(logBefore).find("Error in waveInOpen()"), std::string::npos);
    WaveFile w = ReadWave(h.capture->TempWavPath());
    EXPECT_EQ(w.fileSize, 46u);
    EXPECT_EQ(w.dataLength, 0u);
}

TEST_F(SoundCaptureTest, WithoutASoundServerTheOpenFailsAndTheStopReportsIt) {
    ExpectFailedOpen("unix:" + dir.File("no-server"), platform::MMSYSERR_NODRIVER, dir.Path(), boxes);
}

TEST_F(SoundCaptureTest, ASoundServerThatDoesNotAnswerIsGivenUp) {
    SilentServer server(dir.File("silent"));
    ExpectFailedOpen("unix:" + dir.File("silent"), platform::MMSYSERR_NODRIVER, dir.Path(), boxes);
}

TEST_F(SoundCaptureTest, WithoutACaptureSourceTheOpenFails) {
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty()) GTEST_SKIP() << "no pulseaudio";
    testsupport::TempDir serverFolder;
    SourcelessServer server(serverFolder.Path());
    {
        ServerOverride override("unix:" + server.Socket());
        platform::WAVEINCAPS caps{};
        EXPECT_EQ(platform::SystemWaveIn().waveInGetDevCaps(0, &caps, sizeof caps), platform::MMSYSERR_BADDEVICEID);
    }
    ExpectFailedOpen("unix:" + server.Socket(), platform::MMSYSERR_BADDEVICEID, dir.Path(), boxes);
}

TEST_F(SoundCaptureTest, ASoundFileThatCannotBeNamedIsReportedOnceAtStartAndTheVideoGoesOn) {
    SinePlayer sine(dir.Path());
    CaptureHarness h(8, 1, 11025, "/nonexistent-rz-folder/");
    h.Start();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    Pump(1000);
    EXPECT_EQ(h.running.load(), 1);  // the recording itself goes on
    h.Stop();

    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u) << "nothing is written, so no write fails";
    EXPECT_EQ(shown[0].text, GetText("MsgBox", "UnableCreateFile"));
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].type, platform::MB_OK);
    EXPECT_EQ(shown[0].owner, h.window.Handle());
    EXPECT_NE(LogText().find("MakeTempWavPath Error!"), std::string::npos);
    EXPECT_EQ(h.capture->QueuedBuffers(), 0);
    EXPECT_FALSE(h.capture->HasSoundFile());
    EXPECT_EQ(h.capture->TempWavPath(), "");
}

}  // namespace
