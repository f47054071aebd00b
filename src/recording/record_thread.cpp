#include "recording/record_thread.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "recording/finished_recording.h"
#include "recording/flashing_wnd.h"
#include "recording/recording_messages.h"
#include "recording/temp_files.h"

#include <cerrno>

namespace recording {

namespace {

namespace media = platform::media;

constexpr std::uint32_t kMinimumVideoVersion = 0x010A;
constexpr std::uint32_t kSliceMs = 50;

constexpr int kFinished = -1;

// WM_USER_RECORDFINISH for kFinished, carrying the ticket of this recording's own paths and job
// values; else WM_USER_RECORDINTERRUPTED with the reason.
void PostEnd(const RecordEnvironment& env, int reason, const std::string& path) {
    if (reason != kFinished) {
        platform::PostMessage(env.mainWindow, WM_USER_RECORDINTERRUPTED,
                              static_cast<platform::WPARAM>(reason), env.recordingNumber);
        WriteLogLine("WM_USER_RECORDINTERRUPTED!");
        return;
    }
    const RecordJob& job = *env.job;
    const std::string sound = job.RecordAudio && env.sound ? env.sound->SoundFilePath() : std::string();
    platform::PostMessage(env.mainWindow, WM_USER_RECORDFINISH,
                          DepositFinished(FinishedFromJob(job, path, sound)), 0);
}

// A failed write is a full disk when the system says so.
int WriteFailure(AviApi& avi, AviFile* file, int otherwise) {
    const int error = file ? avi.FileWriteError(file) : 0;
    return error == ENOSPC || error == EDQUOT ? kInterruptDiskFull : otherwise;
}

// Sleeps one frame period in 50 ms slices, or through a pause; a pause is cut out of the
// timeline by moving StartTime, and the same stretch out of the sound. `loopStart` is the
// StartTime the loop began with, the instant sound capture started.
void WaitForNextFrame(RecordJob& job, RecordClock& clock, audio::SoundCapture* sound,
                      std::uint32_t loopStart) {
    if (job.Paused) {
        std::uint32_t pausedAt = clock.Now();
        if (sound) sound->PauseAt(pausedAt - loopStart);
        while (job.Paused) clock.Sleep(kSliceMs);
        std::uint32_t resumedAt = clock.Now();
        if (sound) sound->ResumeAt(resumedAt - loopStart);
        job.StartTime += resumedAt - pausedAt;
        return;
    }
    std::uint32_t period = static_cast<std::uint32_t>(job.MsPerFrame);
    for (std::uint32_t i = 0; i < period / kSliceMs; ++i) {
        clock.Sleep(kSliceMs);
        if (!job.Running) return;
    }
    if (job.Running) clock.Sleep(period % kSliceMs);
}

// While sound is recorded (`sound` not null) the picture is timed by the sound device's clock, so
// that every frame lands where the sound of its instant lies however that clock drifts from the
// system's. Time zero is the first reading; until the device can tell its time the system clock
// stands in, and the time never runs back. Without sound it is the system clock.
class SoundTimedClock final : public RecordClock {
public:
    SoundTimedClock(RecordClock& system, audio::SoundCapture* sound) : system_(system), sound_(sound) {}

    std::uint32_t Now() override {
        std::uint32_t ms = 0;
        if (!sound_) return system_.Now();
        if (!started_) {
            zero_ = last_ = system_.Now();
            started_ = true;
        } else {
            std::uint32_t now = sound_->ClockMs(&ms) ? zero_ + ms : system_.Now();
            if (static_cast<std::int32_t>(now - last_) > 0) last_ = now;
        }
        return last_;
    }
    void Sleep(std::uint32_t ms) override { system_.Sleep(ms); }

private:
    RecordClock& system_;
    audio::SoundCapture* sound_;
    bool started_ = false;
    std::uint32_t zero_ = 0, last_ = 0;
};

}  // namespace

std::uint32_t FramePosition(std::int32_t frameRate, std::uint32_t elapsed) {
    return static_cast<std::uint32_t>(std::uint64_t{elapsed} * static_cast<std::uint32_t>(frameRate) / 1000);
}

int RecordVideo(const RecordEnvironment& env, FrameSource& frames, const std::string& path,
                int left, int top, int width, int height, int rate) {
    RecordJob& job = *env.job;
    AviApi& avi = *env.avi;
    RecordClock& systemClock = env.clock ? *env.clock : SystemClock();

    if ((avi.VideoForWindowsVersion() >> 16) < kMinimumVideoVersion) {
        WriteLogLine("Video Version is too low!");
        platform::MessageBox(env.mainWindow, GetText("MsgBox", "VideoVersionTooLow"), "Error",
                             platform::MB_OK | platform::MB_ICONERROR);
        job.ThreadActive = 0;
        return 0;
    }

    const bool frameShown = env.frameWindow && job.FlashingRect && job.RecordMode == 0;
    AviFile* file = nullptr;
    AviStream* stream = nullptr;
    AviStream* compressed = nullptr;
    AVIERR result = media::AVIERR_OK;
    bool memoryFailed = false;
    bool soundStarted = false;
    int reason = kFinished;

    std::uint8_t* first = frames.CaptureFrame(job, left, top, width, height);
    if (!first) {
        memoryFailed = true;
    } else {
        const auto* header = reinterpret_cast<const media::BITMAPINFOHEADER*>(first);
        job.CodecFourCC = media::MakeFourCC('M', 'S', 'V', 'C');
        if (frameShown) {
            env.frameWindow->SetFrameArea(left, top, width, height);
            env.frameWindow->ShowFrame();
        }

        media::AVISTREAMINFO info;
        info.fccType = media::streamtypeVIDEO;
        info.fccHandler = 0;
        info.dwScale = 1;
        info.dwRate = static_cast<std::uint32_t>(rate);
        info.dwSuggestedBufferSize = header->biSizeImage;
        info.rcFrame = {0, 0, header->biWidth, header->biHeight};

        media::AVICOMPRESSOPTIONS options;
        options.fccType = media::streamtypeVIDEO;
        options.fccHandler = job.CodecFourCC;
        options.dwKeyFrameEvery = static_cast<std::uint32_t>(job.KeyFrameEvery);
        options.dwQuality = static_cast<std::uint32_t>(job.Quality);
        options.dwBytesPerSecond = 0;
        options.dwFlags = media::AVICOMPRESSF_KEYFRAMES | media::AVICOMPRESSF_VALID;

        if ((result = avi.FileOpen(&file, path)) != media::AVIERR_OK) {
            WriteLogLine("AVIFileOpen Error!");
            reason = kInterruptCreate;
        } else if ((result = avi.FileCreateStream(file, &stream, info)) != media::AVIERR_OK) {
            WriteLogLine("AVIFileCreateStream Error!");
        } else if ((result = avi.MakeCompressedStream(&compressed, stream, options)) !=
                   media::AVIERR_OK) {
            WriteLogLine("AVIMakeCompressedStream Error!");
        } else if ((result = avi.StreamSetFormat(compressed, 0, first,
                                                 header->biSize + header->biClrUsed * 4)) !=
                   media::AVIERR_OK) {
            WriteLogLine("AVIStreamSetFormat Error!");
        }
        if (result != media::AVIERR_OK && reason == kFinished)
            reason = WriteFailure(avi, file, kInterruptSetup);
        frames.FreeFrame(first);
    }

    if (!memoryFailed && result == media::AVIERR_OK) {
        if (job.RecordAudio && env.sound) {
            env.sound->OpenSoundFile();
            if (!env.sound->StartAudioRecording())
                WriteLogLine("StartAudioRecording Error, the video goes on without sound");
            soundStarted = true;  // what was opened is stopped and closed all the same
        }
        // Time zero of the picture is the instant sound capture started from, and the first
        // frame is grabbed right after it.
        SoundTimedClock clock(systemClock, soundStarted ? env.sound : nullptr);
        job.StartTime = clock.Now();
        job.FirstFramePending = 1;
        const std::uint32_t loopStart = job.StartTime;
        std::uint32_t lastWritten = 0;
        bool anyWritten = false;

        while (job.Running) {
            std::uint32_t elapsed = 0, position = 0;
            if (!job.FirstFramePending) elapsed = clock.Now() - job.StartTime;
            std::uint8_t* frame = frames.CaptureFrame(job, left, top, width, height);
            if (!frame) {
                memoryFailed = true;
                break;
            }
            if (job.FirstFramePending)
                job.FirstFramePending = 0;
            else
                position = FramePosition(job.FrameRate, elapsed);

            // A grab on a position already written (also a second one on 0) is dropped.
            if (position > lastWritten || (position == 0 && !anyWritten)) {
                const auto* header = reinterpret_cast<const media::BITMAPINFOHEADER*>(frame);
                result = avi.StreamWrite(compressed, static_cast<long>(position), 1,
                                         frame + header->biSize + header->biClrUsed * 4,
                                         header->biSizeImage, 0);
                if (result != media::AVIERR_OK) {
                    WriteLogLine("AVIStreamWrite Error!");
                    reason = WriteFailure(avi, file, kInterruptWrite);
                    frames.FreeFrame(frame);
                    break;
                }
                lastWritten = position;
                anyWritten = true;
            }
            frames.FreeFrame(frame);
            WaitForNextFrame(job, clock, soundStarted ? env.sound : nullptr, loopStart);
        }
    }

    if (memoryFailed) {
        WriteLogLine("GlobalLock(Bitmap2Dib()) Error!");
        reason = kInterruptMemory;
    }
    if (frameShown) env.frameWindow->HideFrame();
    job.SoundMissingMs = 0;
    if (soundStarted) {
        env.sound->StopAudioRecording();
        job.SoundMissingMs = env.sound->MissingMs();
        env.sound->DestroySoundFile();
    }
    if (compressed) avi.StreamRelease(compressed);
    if (stream) avi.StreamRelease(stream);
    if (file) avi.FileRelease(file);
    PostEnd(env, reason, path);
    // The last touch of the job: from here on the thread uses nothing it shares.
    job.ThreadActive = 0;
    return 0;
}

int RecordThreadProc(RecordEnvironment env) {
    RecordJob& job = *env.job;
    int rate = job.FrameRate;

    std::string note;
    std::unique_ptr<platform::ScreenSource> screen =
        env.openScreen ? env.openScreen(&note) : platform::OpenScreenSource(&note);
    if (!note.empty()) WriteLogLine(note.c_str());

    if (screen && MakeTempAviPath()) {
        FrameCapturer capturer(*screen, env.cursor ? *env.cursor : platform::ArrowCursor(),
                               env.frameWindow);
        RecordVideo(env, capturer, TempAviPath(), env.left, env.top, env.width, env.height, rate);
        return 0;
    }
    if (screen) WriteLogLine("MakeTempAviPath Error!");
    PostEnd(env, screen ? kInterruptCreate : kInterruptScreen, std::string());
    job.ThreadActive = 0;
    return 0;
}

}  // namespace recording
