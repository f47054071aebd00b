#pragma once
// CWaveInCapture: sound capture of one recording at a time into the temporary WAVE file. Three
// capture buffers circulate between the wave-in device and the main window: each filled buffer
// arrives as MM_WIM_DATA, is appended to the sound file and handed back. A pause leaves out
// exactly the sample frames between the instants the recording thread gives (PauseAt, ResumeAt),
// counted from the start of capture, so that sound and picture lose the same stretch.
//
// Thread contract:
// - the recording thread calls OpenSoundFile, StartAudioRecording, StopAudioRecording and
//   DestroySoundFile (the SoundCapture order);
// - the user-interface thread (the one that serves `mainWindow`) calls OnWIM_DATA from the main
//   window's dispatch of MM_WIM_DATA; a failed write stops capture from there (only one stop
//   sequence runs per recording, whichever thread begins it);
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
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
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
    void StopAudioRecording() override { StopCapture(true); }
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

private:
    // Reset, wait for the buffers to be retired (when they can be), stop, close.
    void StopCapture(bool waitForBuffers);
    // Up to kStopWaitMs for QueuedBuffers to reach 0; false when it did not.
    bool WaitUntilRetired();
    int AddInputBufferToQueue();
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
};

}  // namespace audio
