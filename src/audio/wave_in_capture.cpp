#include "audio/wave_in_capture.h"

#include "audio/sound_formats.h"
#include "audio/temp_wav_path.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"

#include <chrono>
#include <new>

namespace audio {

using namespace platform;

CWaveInCapture::CWaveInCapture(WindowHandle mainWindow, const settings::RecordSettings& settings,
                               const std::atomic<std::int32_t>& running,
                               const std::atomic<std::int32_t>& paused, WaveInApi& waveIn,
                               TempFolderFn tempFolder)
    : CWaveInCapture(mainWindow, settings, waveIn, std::move(tempFolder)) {
    SetJobFlags(running, paused);
}

CWaveInCapture::CWaveInCapture(WindowHandle mainWindow, const settings::RecordSettings& settings,
                               WaveInApi& waveIn, TempFolderFn tempFolder)
    : m_Owner(mainWindow),
      m_Settings(settings),
      m_WaveInApi(waveIn),
      m_TempFolder(tempFolder ? std::move(tempFolder) : TempFolderFn(&GetTempFolder)) {}

void CWaveInCapture::SetJobFlags(const std::atomic<std::int32_t>& running,
                                 const std::atomic<std::int32_t>& paused) {
    m_Running = &running;
    m_Paused = &paused;
}

CWaveInCapture::~CWaveInCapture() { ReleaseSoundFile(); }

void CWaveInCapture::OpenSoundFile() {
    m_WaveIn = 0;
    BuildCaptureFormat(m_Settings);
    m_QueuedBuffers = 0;
    m_SamplesPerBuffer = kSamplesPerBuffer;
    m_Stopping = 0;
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
        // Only what was recorded: a buffer handed back early holds less than its length.
        CBuffer view(header->lpData, header->dwBytesRecorded);
        if (!m_Paused->load()) WriteSoundBuffer(view);
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
