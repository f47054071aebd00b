#pragma once
// CWaveInCapture: sound capture of one recording at a time into the temporary WAVE file. Three
// capture buffers circulate between the wave-in device and the main window: each filled buffer
// arrives as MM_WIM_DATA, is appended to the sound file and handed back. A pause leaves out
// exactly the sample frames between the instants the recording thread gives (PauseAt, ResumeAt),
// counted from the start of capture, so that sound and picture lose the same stretch.
// A device lost with its sound server (its buffers come back and cannot be queued again) is
// replaced: a thread of the capture tries to open the device again every second, and the sound
// of the new device is preceded by silence for the time no sound came, so that the sound file
// keeps the recording's timeline. Meanwhile ClockMs goes on from the device's last reading by
// the system clock. A stop while the server is away fills the sound up to the stop.
//
// Thread contract:
// - the recording thread calls OpenSoundFile, StartAudioRecording, StopAudioRecording and
//   DestroySoundFile (the SoundCapture order);
// - the user-interface thread (the one that serves `mainWindow`) calls OnWIM_DATA from the main
//   window's dispatch of MM_WIM_DATA; a failed write stops capture from there (only one stop
//   sequence runs per recording, whichever thread begins it);
// - the reconnecting thread opens and starts the new device; it shows no message box and is
//   joined by StopAudioRecording (recording thread) or the destructor;
// - `running` is the recording job's flag, written by the user-interface thread;
// - the sound file is released by exactly one thread: whoever takes it out of SoundFile first;
//   the recording thread waits for a write in progress on the other thread before completing it.
//
// Wiring. The main window owns one object for its life, made once its message window exists and
// declared before the recording control (which stops a running recording when destroyed):
//   capture_ = std::make_unique<audio::CWaveInCapture>(Handle(), settings_);
//   control_ = std::make_unique<recording::RecordingControl>(host, frameWnd, avi, capture_.get());
//   capture_->SetJobFlags(control_->Job().Running);
//   messages_.On(platform::MM_WIM_DATA, [this](WPARAM w, LPARAM l) { return capture_->OnWIM_DATA(w, l); });
// The recording control hands it to the recording thread as its audio::SoundCapture. The recording thread, once the
// video stream is set up and StartTime taken: if RecordAudio, OpenSoundFile() then
// StartAudioRecording(); after the frame loop: if RecordAudio, StopAudioRecording() then
// DestroySoundFile(); only then it posts its end message, so TempWavPath() names a closed file.
#include "audio/cbuffer.h"
#include "audio/sound_capture.h"
#include "audio/sound_file.h"
#include "platform/core/types.h"
#include "platform/sound/wave_in.h"
#include "settings/record_settings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace audio {

class CWaveInCapture final : public SoundCapture {
public:
    using TempFolderFn = std::function<std::string()>;

    // `settings` give the capture format (read when the sound file is opened). `mainWindow`
    // receives MM_WIM_DATA and owns the message boxes.
    CWaveInCapture(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                   const std::atomic<std::int32_t>& running,
                   platform::WaveInApi& waveIn = platform::SystemWaveIn(),
                   TempFolderFn tempFolder = nullptr);
    // Without the job's flags yet (see SetJobFlags): until then nothing counts as running.
    CWaveInCapture(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                   platform::WaveInApi& waveIn = platform::SystemWaveIn(),
                   TempFolderFn tempFolder = nullptr);
    ~CWaveInCapture() override;
    CWaveInCapture(const CWaveInCapture&) = delete;
    CWaveInCapture& operator=(const CWaveInCapture&) = delete;

    // Keeps the capture device ready for a quick start while sound may be recorded (the settings'
    // RecordAudio when made); on the user-interface thread.
    void KeepDeviceReady(bool ready);

    // Binds the recording job's Running; on the user-interface thread, before the first
    // recording starts.
    void SetJobFlags(const std::atomic<std::int32_t>& running);

    void OpenSoundFile() override;
    bool StartAudioRecording() override { return Start() != 0; }
    void PauseAt(std::uint32_t msSinceStart) override;
    void ResumeAt(std::uint32_t msSinceStart) override;
    bool ClockMs(std::uint32_t* msSinceStart) override;
    void StopAudioRecording() override;
    std::uint32_t MissingMs() const override;
    void DestroySoundFile() override { ReleaseSoundFile(); }
    std::string SoundFilePath() const override { return m_TempWavPath; }

    // 1 when capture runs, 0 after a reported error.
    int Start();
    // MM_WIM_DATA: wParam the device, lParam the WAVEHDR*. Always 0.
    platform::LRESULT OnWIM_DATA(platform::WPARAM wParam, platform::LPARAM lParam);

    // Full path of the last sound file; kept after the recording for the finishing stage.
    const std::string& TempWavPath() const { return m_TempWavPath; }
    std::int32_t QueuedBuffers() const { return m_QueuedBuffers.load(); }
    bool HasSoundFile() const { return m_SoundFile.load() != nullptr; }

    static constexpr std::uint32_t kSamplesPerBuffer = 1000;
    static constexpr int kBufferCount = 3;
    static constexpr int kStopWaitMs = 500;
    static constexpr int kReconnectEveryMs = 1000;

    // The steady millisecond clock that carries ClockMs while no device can tell the time
    // (tests drive it); on the recording thread, before capture starts.
    using SteadyMsFn = std::function<std::uint32_t()>;
    void SetSteadyClock(SteadyMsFn clock);

private:
    // Reset, wait for the buffers to be retired (when they can be), stop, close.
    void StopCapture(bool waitForBuffers);
    // Up to kStopWaitMs for QueuedBuffers to reach 0; false when it did not.
    bool WaitUntilRetired();
    // Queues one more buffer on `device`; failures are shown when `report`, else logged.
    int AddInputBufferToQueue(platform::HWAVEIN device, bool report = true);
    // The device's buffers come back without a way into it: the server is gone (UI thread).
    void OnDeviceLost(platform::HWAVEIN device);
    // The reconnecting thread's body, and its replacement of the lost device (lock held).
    void Reconnect();
    void Resume(platform::HWAVEIN fresh);
    void EndReconnecting();
    // Milliseconds since the start by the last device reading and the steady clock since then
    // (m_DeviceMutex held).
    std::int64_t ExtrapolatedMs() const;
    // Writes `count` sample frames from `data` (null: silence) except what a pause leaves out;
    // the frames written. `evenWhenStopping`: the recording thread's fill at the stop.
    std::uint64_t WriteFrames(const char* data, std::uint64_t count, bool evenWhenStopping = false);
    // Silence from the frames seen so far up to `frame`, counted as missing sound.
    void FillGapTo(std::uint64_t frame, bool evenWhenStopping);
    void WriteSoundBuffer(const CBuffer& view);
    // Writes the part of a filled buffer that no pause leaves out.
    void WriteUncut(const platform::WAVEHDR& header);
    // Logs once per recording how the start met the sound the server delivered.
    void ReportStart(platform::HWAVEIN device);
    std::uint64_t FramesAt(std::uint32_t ms) const;
    void ReportWaveInError(platform::MMRESULT code, const char* context);
    void RetireBuffer(platform::WAVEHDR* header);
    void ReleaseSoundFile();

    const platform::WindowHandle m_Owner;
    const settings::RecordSettings& m_Settings;
    const std::atomic<std::int32_t>* m_Running = nullptr;
    platform::WaveInApi& m_WaveInApi;
    TempFolderFn m_TempFolder;
    bool m_KeptReady = false;

    std::atomic<platform::HWAVEIN> m_WaveIn{0};
    std::atomic<CSoundFile*> m_SoundFile{nullptr};
    std::atomic<std::int32_t> m_SoundFileInUse{0};  // writes in progress on the UI thread
    std::atomic<std::int32_t> m_Stopping{0};        // set once the stop sequence has begun
    std::atomic<platform::HWAVEIN> m_ClosedDevice{0};  // closed by a completed stop sequence
    std::atomic<std::int32_t> m_QueuedBuffers{0};
    std::uint32_t m_SamplesPerBuffer = kSamplesPerBuffer;
    std::string m_TempWavPath;

    // Sample frames handed back since the start (user-interface thread), and the stretches of
    // them a pause leaves out, [from, to), the last one open until resumed.
    std::uint64_t m_FramesSeen = 0;
    std::atomic<std::int32_t> m_StartReported{0};
    mutable std::mutex m_CutsMutex;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_Cuts;

    std::mutex m_RetiredMutex;
    std::condition_variable m_Retired;

    // The device's replacement after a loss, and the time of the recording meanwhile.
    mutable std::mutex m_DeviceMutex;
    std::condition_variable m_ReconnectWake;
    std::thread m_Reconnector;
    SteadyMsFn m_SteadyMs;
    bool m_Lost = false;            // the device is gone and not yet replaced
    bool m_EndReconnect = false;    // the reconnecting thread is to end
    bool m_ClockExtrapolates = false;  // since a loss, ClockMs always tells a time
    std::int64_t m_ClockBaseMs = 0;    // time since the start at which the device's clock began
    std::int64_t m_LastClockMs = 0;    // the last time told, and the steady clock then
    std::uint32_t m_LastClockAt = 0;
    platform::HWAVEIN m_GapDevice = 0;  // its first buffer follows silence up to m_GapToFrame
    std::uint64_t m_GapToFrame = 0;
    std::atomic<std::uint64_t> m_MissingFrames{0};
};

}  // namespace audio
