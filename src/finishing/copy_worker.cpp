#include "finishing/copy_worker.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "finishing/progess_dlg.h"
#include "finishing/saved_file_message.h"
#include "platform/core/message_box.h"
#include "platform/media/avi_repair.h"

namespace finishing {

namespace {

// A quit came before the worker could report: the recorder ends here, keeping the recording
// unless the copy had already been completed.
void EndAfterQuit(const CopyJob& job, bool copied) {
    if (copied) {
        WriteLogLine("Copy Complete!");
    } else {
        const std::string line = kQuitKeptLine + job.tempAviPath;
        WriteLogLine(line.c_str());
    }
    if (job.endApplication) job.endApplication();
}

void ReportCopyFailed(const CopyJob& job) {
    WriteLogLine("CopyFileEx Error!");
    if (job.outputRefused) job.outputRefused(job.outputPath);
    else
        platform::MessageBox(0, GetText("MsgBox", "UnableCreateFile"), kNoteCaption,
                             platform::MB_OK | platform::MB_ICONWARNING);
}

}  // namespace

bool CopyQuit::Request() {
    int expected = kRunning;
    return state_.compare_exchange_strong(expected, kQuitRequested) || expected == kQuitRequested;
}

bool CopyQuit::End() {
    int expected = kRunning;
    return state_.compare_exchange_strong(expected, kEnded) || expected == kEnded;
}

int CopyProgress::BarRange(std::uint64_t totalSize) {
    const auto low = static_cast<std::uint32_t>(totalSize);
    const std::uint32_t blocks = (low >> 16) + ((low & 0xFFFF) ? 1 : 0);
    return static_cast<int>(blocks & 0xFFFF);
}

std::uint32_t CopyProgress::operator()(std::uint64_t totalSize, std::uint64_t, int reason) {
    if (quit_ && quit_->Requested()) return kCopyCancel;
    if (reason == kCopyStreamSwitch) {
        steps_ = 0;
        SetProgressRange(0, BarRange(totalSize));
    } else {
        ++steps_;
        SetProgressPos(steps_);
    }
    return kCopyContinue;
}

void ReportCopyDone(const CopyJob& job) {
    ShowSavedFileMessage(job.mainWindow, job.autoSave, job.outputPath);
    if (job.playVideo && job.shellOpen) job.shellOpen(job.outputPath);
    WriteLogLine("Copy Complete!");
}

void CopyThreadProc(const CopyJob& job) {
    CopyProgress progress(job.quit.get());
    const bool copied =
        job.reindex ? WriteFileBeside(job.outputPath, /*failIfExists=*/true,
                                      [&job](const std::string& temp) {
                                          return platform::media::WriteAviWithIndex(job.tempAviPath, temp);
                                      })
                    : CopyFileWithProgress(job.tempAviPath, job.outputPath, /*failIfExists=*/true,
                                           [&progress](std::uint64_t total, std::uint64_t done, int reason) {
                                               return progress(total, done, reason);
                                           });
    ShowProgress(false);
    if (copied) {
        SetProgressPos(0);
        SetProgressRange(0, 100);
        // Saved: the temporary video goes before anything can end the process.
        DeleteFileQuietly(job.tempAviPath);
    }
    if (job.quit && !job.quit->End()) {
        EndAfterQuit(job, copied);
        return;
    }
    if (copied) ReportCopyDone(job);
    else ReportCopyFailed(job);
}

std::thread::id StartCopyWorker(CopyJob job) {
    std::thread worker([job = std::move(job)] { CopyThreadProc(job); });
    const std::thread::id id = worker.get_id();
    worker.detach();
    return id;
}

}  // namespace finishing
