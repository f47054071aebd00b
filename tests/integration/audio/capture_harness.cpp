#include "capture_harness.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <numbers>
#include <vector>

namespace audiotest {

void Pump(int ms) {
    testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(ms));
}

SinePlayer::SinePlayer(const std::string& folder, bool warmUp, int seconds, double hz, int latencyMs) {
    std::string samples;
    const int rate = 44100;
    for (int i = 0; i < rate * seconds; ++i) {
        auto v = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * std::numbers::pi * hz * i / rate)));
        samples.push_back(static_cast<char>(v & 0xFF));
        samples.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
    std::string path = folder + "sine.raw";
    testsupport::WriteFile(path, samples);
    QStringList args = {"--playback", "--device=rz_null", "--format=s16le", "--rate=44100", "--channels=1"};
    if (latencyMs > 0) args << QString("--latency-msec=%1").arg(latencyMs);
    process_.start("pacat", args << QString::fromStdString(path));
    process_.waitForStarted(5000);
    if (warmUp)
        WarmUpSink();
    else
        Pump(300);
}

// A null sink that was idle has rendered up to two seconds ahead; a player that has just started
// is heard, and a new record stream on the monitor is served, only once that is played out. Waits
// until the sink runs at the latency the player asked for.
void SinePlayer::WarmUpSink() { WaitForShortSinkLatency(); }

void WaitForShortSinkLatency() {
    testsupport::WaitUntil(
        [] {
            const std::string sinks = testsupport::Shell("pactl list sinks 2>/dev/null");
            const std::size_t at = sinks.find("Latency: ");
            return at != std::string::npos && std::atol(sinks.c_str() + at + 9) < 40000;
        },
        std::chrono::seconds(5));
}

SinePlayer::~SinePlayer() {
    process_.kill();
    process_.waitForFinished(5000);
}

bool SinePlayer::Playing() const { return process_.state() == QProcess::Running; }

CaptureHarness::CaptureHarness(int bits, int channels, int rate, std::string tempFolder, bool keepReady) {
    settings.RecordAudio = keepReady ? 1 : 0;
    settings.Audio_bits_per_sample = bits;
    settings.Audio_num_channels = channels;
    settings.Audio_samples_per_seconds = rate;
    capture = std::make_unique<audio::CWaveInCapture>(
        window.Handle(), settings, running, platform::SystemWaveIn(),
        [tempFolder] { return tempFolder; });
    window.On(platform::MM_WIM_DATA, [this](platform::WPARAM w, platform::LPARAM l) {
        return capture->OnWIM_DATA(w, l);
    });
}

CaptureHarness::~CaptureHarness() {
    if (thread_.joinable()) {
        running = 0;
        running.notify_all();
        thread_.join();
    }
}

void CaptureHarness::Start() {
    running = 1;
    thread_ = std::thread([this] {
        capture->OpenSoundFile();
        capture->StartAudioRecording();
        started = std::chrono::steady_clock::now();
        startedFlag_ = 1;
        running.wait(1);
        capture->StopAudioRecording();
        capture->DestroySoundFile();
        finished_ = 1;
    });
    testsupport::WaitUntil([this] { return startedFlag_.load() == 1; }, std::chrono::seconds(10));
}

namespace {
std::uint32_t MsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}
}  // namespace

void CaptureHarness::Pause() { capture->PauseAt(MsSince(started)); }
void CaptureHarness::Resume() { capture->ResumeAt(MsSince(started)); }

void CaptureHarness::Stop() {
    running = 0;
    stopped = std::chrono::steady_clock::now();
    running.notify_all();
    testsupport::WaitUntil([this] { return finished_.load() == 1; }, std::chrono::seconds(10));
    thread_.join();
}

}  // namespace audiotest
