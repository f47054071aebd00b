#include "finishing/copy_worker.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "finishing/progess_dlg.h"
#include "finishing/saved_file_message.h"
#include "platform/core/message_box.h"

namespace finishing {

int CopyProgress::BarRange(std::uint64_t totalSize) {
    const auto low = static_cast<std::uint32_t>(totalSize);
    const std::uint32_t blocks = (low >> 16) + ((low & 0xFFFF) ? 1 : 0);
    return static_cast<int>(blocks & 0xFFFF);
}

std::uint32_t CopyProgress::operator()(std::uint64_t totalSize, std::uint64_t, int reason) {
    if (reason == kCopyStreamSwitch) {
        steps_ = 0;
        SetProgressRange(0, BarRange(totalSize));
    } else {
        ++steps_;
        SetProgressPos(steps_);
    }
    return 0;
}

void ReportCopyDone(const CopyJob& job) {
    ShowSavedFileMessage(job.mainWindow, job.autoSave, job.outputPath);
    DeleteFileQuietly(job.tempAviPath);
    if (job.playVideo && job.shellOpen) job.shellOpen(job.outputPath);
    WriteLogLine("Copy Complete!");
}

void CopyThreadProc(const CopyJob& job) {
    CopyProgress progress;
    const bool copied = CopyFileWithProgress(
        job.tempAviPath, job.outputPath, /*failIfExists=*/true,
        [&progress](std::uint64_t total, std::uint64_t done, int reason) { return progress(total, done, reason); });
    if (!copied) {
        WriteLogLine("CopyFileEx Error!");
        ShowProgress(false);
        if (job.outputRefused) job.outputRefused(job.outputPath);
        else
            platform::MessageBox(0, GetText("MsgBox", "UnableCreateFile"), kNoteCaption,
                                 platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    ShowProgress(false);
    SetProgressPos(0);
    SetProgressRange(0, 100);
    ReportCopyDone(job);
}

std::thread::id StartCopyWorker(CopyJob job) {
    std::thread worker([job = std::move(job)] { CopyThreadProc(job); });
    const std::thread::id id = worker.get_id();
    worker.detach();
    return id;
}

}  // namespace finishing
