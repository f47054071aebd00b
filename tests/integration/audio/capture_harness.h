#pragma once
// Plays the parts of the main window (the test's own thread, which serves the message window)
// and of the recording thread (a std::thread) around one CWaveInCapture, against the session's
// sound server.
#include "audio/wave_in_capture.h"
#include "platform/core/messages.h"
#include "settings/record_settings.h"
#include "support/test_support.h"

#include <QProcess>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace audiotest {

// Lets the user-interface side handle messages for `ms` milliseconds.
void Pump(int ms);

// A sine (1 kHz unless told) played into the null sink for as long as the object lives.
class SinePlayer {
public:
    // `warmUp`: see WarmUpSink. `latencyMs` 0: the player asks for no particular latency, and
    // the server then lets the sink render up to two seconds ahead.
    explicit SinePlayer(const std::string& folder, bool warmUp = true, int seconds = 30, double hz = 1000,
                        int latencyMs = 100);
    ~SinePlayer();
    bool Playing() const;

private:
    void WarmUpSink();
    QProcess process_;
};

// Waits until the null sink renders no more than 40 ms ahead of what is heard.
void WaitForShortSinkLatency();

class CaptureHarness {
public:
    // `keepReady`: the settings' RecordAudio, so that the device is kept ready from construction.
    CaptureHarness(int bits, int channels, int rate, std::string tempFolder, bool keepReady = false);
    ~CaptureHarness();

    // Recording thread: OpenSoundFile and StartAudioRecording, then it waits for Stop.
    void Start();
    // Clears Running as Stop does and lets the recording thread finish its stop sequence while
    // this thread keeps handling messages.
    void Stop();

    // Pause and resume now, as the recording thread reports them.
    void Pause();
    void Resume();

    std::atomic<std::int32_t> running{0};
    settings::RecordSettings settings;
    platform::MessageWindow window;
    std::unique_ptr<audio::CWaveInCapture> capture;
    std::chrono::steady_clock::time_point started, stopped;

private:
    std::thread thread_;
    std::atomic<std::int32_t> startedFlag_{0};
    std::atomic<std::int32_t> finished_{0};
};

}  // namespace audiotest
