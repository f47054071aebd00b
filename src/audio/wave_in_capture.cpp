#include "audio/wave_in_capture.h"

#include "audio/sound_formats.h"
#include "audio/temp_wav_path.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>

namespace audio {

using namespace platform;

CWaveInCapture::CWaveInCapture(WindowHandle mainWindow, const settings::RecordSettings& settings,
                               const std::atomic<std::int32_t>& running, WaveInApi& waveIn,
                               TempFolderFn tempFolder)
    : CWaveInCapture(mainWindow, settings, waveIn, std::move(tempFolder)) {
    SetJobFlags(running);
}

CWaveInCapture::CWaveInCapture(WindowHandle mainWindow, const settings::RecordSettings& settings,
                               WaveInApi& waveIn, TempFolderFn tempFolder)
    : m_Owner(mainWindow),
      m_Settings(settings),
      m_WaveInApi(waveIn),
      m_TempFolder(tempFolder ? std::move(tempFolder) : TempFolderFn(&GetTempFolder)) {
    KeepDeviceReady(settings.RecordAudio != 0);
}

void CWaveInCapture::KeepDeviceReady(bool ready) {
    if (ready == m_KeptReady) return;
    m_KeptReady = ready;
    m_WaveInApi.waveInKeepReady(ready);
}

void CWaveInCapture::SetJobFlags(const std::atomic<std::int32_t>& running) { m_Running = &running; }

CWaveInCapture::~CWaveInCapture() {
    KeepDeviceReady(false);
    ReleaseSoundFile();
}

void CWaveInCapture::OpenSoundFile() {
    m_WaveIn = 0;
    BuildCaptureFormat(m_Settings);
    m_QueuedBuffers = 0;
    m_SamplesPerBuffer = kSamplesPerBuffer;
    m_Stopping = 0;
    m_FramesSeen = 0;
    m_StartReported = 0;
    {
        std::lock_guard lock(m_CutsMutex);
        m_Cuts.clear();
    }
    ReleaseSoundFile();
    if (!MakeTempWavPath(m_TempFolder(), m_TempWavPath)) {
        // No name is kept: the finishing stage must not take a file that is not ours.
        m_TempWavPath.clear();
        WriteLogLine("MakeTempWavPath Error!");
        MessageBox(m_Owner, GetText("MsgBox", "UnableCreateFile"), "", MB_OK);
        return;
    }
    auto* file = new (std::nothrow) CSoundFile(m_TempWavPath, CaptureFormat);
    m_SoundFile = file;
    if (!file || file->GetMode() != CSoundFile::Writing)
        MessageBox(m_Owner, GetText("MsgBox", "UnableCreateFile"), "", MB_OK);
}

int CWaveInCapture::AddInputBufferToQueue() {
    auto* header = new (std::nothrow) WAVEHDR{};
    if (!header) {
        WriteLogLine("Error in AddInputBufferToQueue(): no memory for a sound buffer");
        return m_QueuedBuffers;
    }
    CBuffer buffer(CaptureFormat.nBlockAlign * m_SamplesPerBuffer);
    header->lpData = static_cast<char*>(buffer.ptr);
    header->dwBufferLength = buffer.ByteLen;

    MMRESULT result = m_WaveInApi.waveInPrepareHeader(m_WaveIn, header, sizeof(WAVEHDR));
    const char* context = "in AddInputBufferToQueue()";
    if (result == MMSYSERR_NOERROR) {
        result = m_WaveInApi.waveInAddBuffer(m_WaveIn, header, sizeof(WAVEHDR));
        context = "Error in AddInputBufferToQueue()";
        if (result != MMSYSERR_NOERROR) m_WaveInApi.waveInUnprepareHeader(m_WaveIn, header, sizeof(WAVEHDR));
    }
    if (result != MMSYSERR_NOERROR) {
        ReportWaveInError(result, context);
        delete[] header->lpData;
        delete header;
        return m_QueuedBuffers;
    }
    return m_QueuedBuffers++;
}

int CWaveInCapture::Start() {
    HWAVEIN device = 0;
    MMRESULT result = m_WaveInApi.waveInOpen(&device, WAVE_MAPPER, &CaptureFormat, m_Owner, 0,
                                             CALLBACK_WINDOW);
    if (result != MMSYSERR_NOERROR) {
        WriteLogLine("Error in waveInOpen()");
        ReportWaveInError(result, "Error in StartAudioRecording()");
        return 0;
    }
    m_WaveIn = device;
    for (int i = 0; i < kBufferCount; ++i) AddInputBufferToQueue();
    result = m_WaveInApi.waveInStart(device);
    if (result != MMSYSERR_NOERROR) {
        WriteLogLine("Error in StartAudioRecording()");
        ReportWaveInError(result, "Error in StartAudioRecording()");
        return 0;
    }
    return 1;
}

LRESULT CWaveInCapture::OnWIM_DATA(WPARAM wParam, LPARAM lParam) {
    auto device = static_cast<HWAVEIN>(wParam);
    auto* header = reinterpret_cast<WAVEHDR*>(lParam);
    MMRESULT result = m_WaveInApi.waveInUnprepareHeader(device, header, sizeof(WAVEHDR));
    if (result != MMSYSERR_NOERROR) {
        // A buffer that a completed stop handed back belongs to us alone once the device is
        // closed; any other buffer that cannot be unprepared may still be the device's.
        if (device != 0 && device == m_ClosedDevice.load()) {
            RetireBuffer(header);
            return 0;
        }
        ReportWaveInError(result, "in OnWIM_DATA()");
        return 0;
    }
    if (m_Running && m_Running->load() && !m_Stopping) {
        ReportStart(device);
        WriteUncut(*header);
        if (!m_Stopping) {
            result = m_WaveInApi.waveInPrepareHeader(device, header, sizeof(WAVEHDR));
            if (result == MMSYSERR_NOERROR)
                result = m_WaveInApi.waveInAddBuffer(device, header, sizeof(WAVEHDR));
            if (result == MMSYSERR_NOERROR) return 0;
            ReportWaveInError(result, "in OnWIM_DATA()");
            m_WaveInApi.waveInUnprepareHeader(device, header, sizeof(WAVEHDR));
        }
    }
    RetireBuffer(header);
    return 0;
}

std::uint64_t CWaveInCapture::FramesAt(std::uint32_t ms) const {
    return (std::uint64_t{ms} * CaptureFormat.nSamplesPerSec + 500) / 1000;
}

void CWaveInCapture::PauseAt(std::uint32_t msSinceStart) {
    std::lock_guard lock(m_CutsMutex);
    m_Cuts.emplace_back(FramesAt(msSinceStart), UINT64_MAX);
}

void CWaveInCapture::ResumeAt(std::uint32_t msSinceStart) {
    std::lock_guard lock(m_CutsMutex);
    if (!m_Cuts.empty() && m_Cuts.back().second == UINT64_MAX)
        m_Cuts.back().second = std::max(m_Cuts.back().first, FramesAt(msSinceStart));
}

bool CWaveInCapture::ClockMs(std::uint32_t* msSinceStart) {
    std::int64_t us = 0;
    if (m_WaveIn == 0 || m_WaveInApi.waveInGetClock(m_WaveIn, &us) != MMSYSERR_NOERROR) return false;
    *msSinceStart = static_cast<std::uint32_t>(std::max<std::int64_t>(us, 0) / 1000);
    return true;
}

void CWaveInCapture::WriteUncut(const WAVEHDR& header) {
    // Only what was recorded: a buffer handed back early holds less than its length.
    const std::uint32_t align = std::max<std::uint32_t>(1, CaptureFormat.nBlockAlign);
    const std::uint64_t first = m_FramesSeen;
    const std::uint64_t end = first + header.dwBytesRecorded / align;
    m_FramesSeen = end;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> kept;
    {
        std::lock_guard lock(m_CutsMutex);
        std::uint64_t at = first;
        for (const auto& [from, to] : m_Cuts) {
            if (to <= at || from >= end) continue;
            if (from > at) kept.emplace_back(at, from);
            at = std::max(at, to);
        }
        if (at < end) kept.emplace_back(at, end);
    }
    for (const auto& [from, to] : kept) {
        WriteSoundBuffer(CBuffer(header.lpData + (from - first) * align,
                                 static_cast<std::uint32_t>((to - from) * align)));
        if (m_Stopping) return;  // a failed write has stopped capture
    }
}

void CWaveInCapture::ReportStart(HWAVEIN device) {
    if (m_StartReported.exchange(1)) return;
    WaveInStartInfo info;
    if (m_WaveInApi.waveInGetStartInfo(device, &info) != MMSYSERR_NOERROR || !info.known) return;
    if (info.silenceBytes == 0) return;
    const std::uint32_t bytesPerSecond = std::max<std::uint32_t>(1, CaptureFormat.nAvgBytesPerSec);
    char line[200];
    std::snprintf(line, sizeof line,
                  "Sound starts with %u ms of silence: the sound server captured nothing for them",
                  static_cast<unsigned>(std::uint64_t{info.silenceBytes} * 1000 / bytesPerSecond));
    WriteLogLine(line);
}

void CWaveInCapture::RetireBuffer(WAVEHDR* header) {
    delete[] header->lpData;
    delete header;
    {
        std::lock_guard lock(m_RetiredMutex);
        --m_QueuedBuffers;
    }
    m_Retired.notify_all();
}

void CWaveInCapture::WriteSoundBuffer(const CBuffer& view) {
    ++m_SoundFileInUse;
    CSoundFile* file = m_SoundFile.load();
    bool written = true;
    if (file) {
        written = file->GetMode() == CSoundFile::Writing &&
                  mmioWrite(file->Handle(), static_cast<const char*>(view.ptr),
                            static_cast<long>(view.ByteLen)) == static_cast<long>(view.ByteLen);
    }
    --m_SoundFileInUse;
    m_SoundFileInUse.notify_all();
    if (written) return;

    // On this thread the buffers handed back can only be retired after we return.
    StopCapture(false);
    ReleaseSoundFile();
    MessageBox(m_Owner, GetText("MsgBox", "WritingSoundFileError"), "Note", MB_ICONWARNING);
}

void CWaveInCapture::StopCapture(bool waitForBuffers) {
    // One stop sequence per recording: a failed write may run it on the user-interface thread
    // while the recording thread reaches its own stop.
    if (m_Stopping.exchange(1)) return;
    HWAVEIN device = m_WaveIn;
    MMRESULT result = m_WaveInApi.waveInReset(device);
    if (result != MMSYSERR_NOERROR) {
        ReportWaveInError(result, "in Stop()");
        return;
    }
    // The user-interface thread retires the buffers handed back by the reset meanwhile.
    if (waitForBuffers && !WaitUntilRetired()) {
        // A buffer the window was handling while Running was still set may have gone back into
        // the device queue just after the reset: hand it back too.
        m_WaveInApi.waveInReset(device);
        WaitUntilRetired();
    }
    result = m_WaveInApi.waveInStop(device);
    if (result != MMSYSERR_NOERROR)
        ReportWaveInError(result, "Error in StopAudioRecording() (WaveinStop)");
    result = m_WaveInApi.waveInClose(device);
    if (result != MMSYSERR_NOERROR)
        ReportWaveInError(result, "Error in StopAudioRecording() (WaveinClose)");
    else
        m_ClosedDevice = device;
    if (waitForBuffers && m_QueuedBuffers != 0)
        MessageBox(m_Owner, "Audio buffers still in queue!", "note", MB_OK);
}

bool CWaveInCapture::WaitUntilRetired() {
    std::unique_lock lock(m_RetiredMutex);
    return m_Retired.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                              [this] { return m_QueuedBuffers.load() == 0; });
}

void CWaveInCapture::ReportWaveInError(MMRESULT code, const char* context) {
    char text[300] = {};
    m_WaveInApi.waveInGetErrorTextA(code, text, sizeof text);
    MessageBox(m_Owner, std::string(text) + " " + context, "Wave in Error", MB_ICONWARNING);
}

void CWaveInCapture::ReleaseSoundFile() {
    CSoundFile* file = m_SoundFile.exchange(nullptr);
    if (!file) return;
    // A write that loaded the pointer before the exchange finishes first.
    for (std::int32_t n = m_SoundFileInUse.load(); n != 0; n = m_SoundFileInUse.load())
        m_SoundFileInUse.wait(n);
    delete file;
}

}  // namespace audio
