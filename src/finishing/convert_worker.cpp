#include "finishing/convert_worker.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/converter_command.h"
#include "finishing/converter_output.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "finishing/output_refused.h"
#include "finishing/progess_dlg.h"
#include "finishing/saved_file_message.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"

#include <chrono>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace finishing {

namespace {

// A converter that has closed its output is ending; it gets this long before it is stopped.
constexpr std::chrono::seconds kEndGrace{5};
// The end of the converter's output kept for the log when it fails.
constexpr std::size_t kTailSize = 300;

std::unique_ptr<platform::ChildProcess> StartConverter(const ConvertJob& job, const ConverterCommand& command,
                                                       std::string* error) {
    platform::ProcessLauncher& launcher = job.launcher ? *job.launcher : platform::SystemProcessLauncher();
    platform::StartOptions options;
    options.ownProcessGroup = true;  // stopping it stops the encoder it runs
    return launcher.Start(command.argv, options, error);
}

void KeepTail(std::string& tail, std::string_view chunk) {
    tail.append(chunk);
    if (tail.size() > kTailSize) tail.erase(0, tail.size() - kTailSize);
}

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t end = text.find_last_of('\n');
    return end == std::string::npos ? text : text.substr(end + 1);
}

// The conversion did not give a file: the user is told where the recording is kept.
void ReportConvertFailed(const ConvertJob& job, const std::string& why) {
    const std::string line = "Convert Failed! " + why;
    WriteLogLine(line.c_str());
    const std::string folder = FolderOf(job.outputPath);
    if (job.outputRefused && (::access(folder.c_str(), W_OK) != 0 || FolderIsFull(folder))) {
        job.outputRefused(job.outputPath);
        return;
    }
    std::string text = GetText("MsgBox", "ConvertFailed") + job.tempAviPath;
    if (job.recordAudio) text += "\n" + job.tempWavPath;
    platform::MessageBox(0, text, kNoteCaption, platform::MB_OK | platform::MB_ICONWARNING);
}

// The user confirmed a quit, whether before the converter's last report or after it.
bool QuitPending(const ConvertJob& job) { return job.cancelConvert && *job.cancelConvert; }

// Ends the recorder after a quit; the recording's files are kept unless it was saved.
void EndAfterQuit(const ConvertJob& job) {
    if (job.cancelConvert) *job.cancelConvert = 0;
    if (job.endApplication) job.endApplication();
}

std::string TempFiles(const ConvertJob& job, bool withSound) {
    return withSound ? job.tempAviPath + " " + job.tempWavPath : job.tempAviPath;
}

void FinishConversion(const ConvertJob& job, int completed, bool withSound, const char* doneLine,
                      const char* cancelledLine) {
    if (completed) {
        // Saved: the temporary files go before anything can end the process.
        DeleteFileQuietly(job.tempAviPath);
        if (withSound) DeleteFileQuietly(job.tempWavPath);
        // A quit confirmed after the converter's last report ends the recorder without a box.
        const bool quit = QuitPending(job);
        if (!quit) {
            ShowSavedFileMessage(job.mainWindow, job.autoSave, job.outputPath, job.soundMissingMs);
            if (job.playVideo && job.shellOpen) job.shellOpen(job.outputPath);
        }
        WriteLogLine(doneLine);
        if (quit) EndAfterQuit(job);
        return;
    }
    // The converter has been reaped: its unfinished output goes; the recording stays for the
    // next start.
    DeleteFileQuietly(job.outputPath);
    WriteLogLine(cancelledLine);
    const std::string line = kQuitKeptLine + TempFiles(job, withSound);
    WriteLogLine(line.c_str());
    EndAfterQuit(job);
}

void SetConverting(const ConvertJob& job, std::int32_t value) {
    if (job.converting) *job.converting = value;
}

}  // namespace

std::int32_t ProbeBitrate(const ConvertJob& job) {
    std::unique_ptr<platform::ChildProcess> probe =
        StartConverter(job, ProbeCommand(job.programFolder, job.tempAviPath), nullptr);
    if (!probe) return 0;
    std::int32_t result = kUnknownBitrate;
    char buffer[kConverterChunk];
    while (const std::size_t n = probe->Read(buffer, sizeof buffer))
        result = BitrateFromChunk(std::string_view(buffer, n), result);
    probe->Terminate(kEndGrace);
    return result;
}

void ConvertThreadProc(const ConvertJob& job) {
    SetConverting(job, 1);
    ConvertRequest request;
    request.videoType = job.videoType;
    request.withSound = job.recordAudio != 0;
    request.programFolder = job.programFolder;
    request.tempAviPath = job.tempAviPath;
    request.tempWavPath = job.tempWavPath;
    request.bitRate = VideoBitRate(ProbeBitrate(job));
    request.outputPath = job.outputPath;
    const ConverterCommand command = ConvertCommand(request);

    std::string error;
    std::unique_ptr<platform::ChildProcess> converter = StartConverter(job, command, &error);
    if (!converter) {
        SetConverting(job, 0);
        ShowProgress(false);
        WriteLogLine(command.text.c_str());
        ReportConvertFailed(job, "the converter could not be started: " + error);
        return;
    }

    int completed = 1;
    std::string tail;
    char buffer[kConverterChunk];
    while (const std::size_t n = converter->Read(buffer, sizeof buffer)) {
        const std::string_view chunk(buffer, n);
        if (const auto seconds = SecondsFromChunk(chunk))
            if (const auto percent = ProgressPercent(*seconds, job.recordedSeconds)) SetProgressPos(*percent);
        KeepTail(tail, chunk);
        if (job.cancelConvert && *job.cancelConvert) {
            completed = 0;
            break;
        }
    }
    const platform::ExitStatus status = converter->Terminate(completed ? kEndGrace : std::chrono::seconds(0));
    converter.reset();

    SetProgressPos(100);
    ShowProgress(false);
    SetProgressPos(0);
    SetConverting(job, 0);
    WriteLogLine(command.text.c_str());

    if (completed && (!status.Succeeded() || !platform::FileExists(job.outputPath))) {
        const std::string why = status.Succeeded() ? "no output file"
                                : status.exited  ? "exit status " + std::to_string(status.code)
                                                 : "ended by signal " + std::to_string(status.signal);
        if (!QuitPending(job)) {
            ReportConvertFailed(job, why + ": " + LastLine(tail));
            return;
        }
        const std::string line = "Convert Failed! " + why + "; " + kQuitKeptLine + TempFiles(job, job.recordAudio != 0);
        WriteLogLine(line.c_str());
        EndAfterQuit(job);
        return;
    }
    if (job.recordAudio) FinishConvertWithSound(job, completed);
    else FinishConvert(job, completed);
}

void FinishConvert(const ConvertJob& job, int completed) {
    FinishConversion(job, completed, false, "Tinker.exe, Convert Complete!",
                     "nConvertStatus!Press Stop to Stop the convert!");
}

void FinishConvertWithSound(const ConvertJob& job, int completed) {
    FinishConversion(job, completed, true, "Tinker.exe Merge Complete!", "Press Stop to stop the Merge!");
}

std::thread::id StartConvertWorker(ConvertJob job) {
    // Set before the thread runs, so a quit asked for at once already sees the conversion.
    SetConverting(job, 1);
    std::thread worker([job = std::move(job)] { ConvertThreadProc(job); });
    const std::thread::id id = worker.get_id();
    worker.detach();
    return id;
}

}  // namespace finishing
