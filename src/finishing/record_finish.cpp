#include "finishing/record_finish.h"

#include "audio/compressed_format.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "finishing/merge.h"
#include "finishing/output_names.h"
#include "finishing/progess_dlg.h"
#include "finishing/saved_file_message.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "platform/core/paths.h"
#include "recording/recording_messages.h"
#include "settings/record_settings.h"

#include <filesystem>
#include <cstdio>

namespace finishing {

namespace {

std::string& OutputPathStore() {
    static std::string path;
    return path;
}

void LogFilePath(const std::string& path) {
    const std::string line = "File Path is " + path + " ";
    WriteLogLine(line.c_str());
}

void UnableCreateFileNoOwner() {
    platform::MessageBox(0, GetText("MsgBox", "UnableCreateFile"), kNoteCaption,
                         platform::MB_OK | platform::MB_ICONWARNING);
}

// With its missing parents, so a first automatic save into ~/Documents/... works even where
// the documents folder does not exist yet.
bool EnsureFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return platform::IsDirectory(folder);
}

// Creates (truncating) the file for writing and removes it again.
bool ProbeCreate(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fclose(f);
    std::remove(path.c_str());
    return true;
}

bool NeedsConverter(std::int32_t videoType) {
    return videoType >= settings::kVideoFlv && videoType <= settings::kVideoSwf;
}

}  // namespace

const std::string& OutputPath() { return OutputPathStore(); }

FinishServices SystemFinishServices() {
    FinishServices services;
    services.chooseSavePath = ShowSaveAsDialog;
    services.shellOpen = [](const std::string& path) { return platform::ShellOpen(path); };
    return services;
}

RecordFinisher::RecordFinisher(FinishHost& host, FinishServices services)
    : host_(host), services_(std::move(services)) {}

platform::LRESULT RecordFinisher::OnRecordFinish(platform::WPARAM, platform::LPARAM) {
    WriteLogLine("OnRecordFinish Math!");
    if (host_.HookInstalled() != 0) {
        host_.RemoveClickHook();
        host_.HookInstalled() = 0;
    }
    host_.RestoreMain();

    const recording::RecordJob& job = host_.Job();
    std::string path;
    if (!ChooseOutputPath(DefaultFileName(job.VideoType), &path)) return 0;

    if (job.RecordAudio) {
        if (!ProbeCreate(path)) {
            WriteLogLine("Create Audio File Error!");
            UnableCreateFileNoOwner();
            LogFilePath(path);
            if (RetryPosted == 0) {
                RetryPosted = 1;
                platform::PostMessage(host_.MainWindow(), recording::WM_USER_RECORDFINISH, 0, 0);
            }
            return 0;
        }
        if (!NeedsConverter(job.VideoType)) {
            JoinWithSound(path);
            return 0;
        }
    }

    if (NeedsConverter(job.VideoType)) StartConversion(path);
    else StartCopy(path);
    ClosingStep();
    return 0;
}

void RecordFinisher::StartCopy(const std::string& path) {
    ShowProgress(true);
    OutputPathStore() = path;
    CopyJob copy;
    copy.mainWindow = host_.MainWindow();
    copy.tempAviPath = host_.TempAviPath();
    copy.outputPath = path;
    copy.autoSave = host_.Job().AutoSave;
    copy.playVideo = host_.Settings().PlayVideo;
    copy.shellOpen = services_.shellOpen;
    workerId_ = StartCopyWorker(std::move(copy));
}

void RecordFinisher::StartConversion(const std::string& path) {
    const recording::RecordJob& job = host_.Job();
    OutputPathStore() = path;
    ShowProgress(true);
    ConvertJob convert;
    convert.mainWindow = host_.MainWindow();
    convert.programFolder = services_.programFolder.empty() ? platform::GetProgramFolder() : services_.programFolder;
    convert.tempAviPath = host_.TempAviPath();
    convert.tempWavPath = host_.TempWavPath();
    convert.outputPath = path;
    convert.videoType = job.VideoType;
    convert.recordAudio = job.RecordAudio;
    convert.autoSave = job.AutoSave;
    convert.playVideo = host_.Settings().PlayVideo;
    convert.recordedSeconds = job.RecordedSeconds;
    convert.soundMissingMs = job.SoundMissingMs;
    convert.shellOpen = services_.shellOpen;
    convert.launcher = services_.launcher;
    convert.converting = &host_.Converting();
    convert.cancelConvert = &host_.CancelConvert();
    convert.endApplication = host_.EndApplication();
    workerId_ = StartConvertWorker(std::move(convert));
}

bool RecordFinisher::ChooseOutputPath(const std::string& defaultName, std::string* path) {
    const recording::RecordJob& job = host_.Job();
    if (job.AutoSave) {
        std::string folder = host_.Settings().AutoSaveDir;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (folder.empty() || !EnsureFolder(folder)) {
            UnableCreateFileNoOwner();
            WriteLogLine("Create Folder Error!");
            return false;
        }
        *path = folder + "/" + defaultName;
        LogFilePath(*path);
        return true;
    }

    if (lastSaveFolder_.empty()) lastSaveFolder_ = platform::DocumentsFolder();
    SaveAsRequest request;
    request.owner = host_.MainWindow();
    request.title = "Save As";
    request.fileName = defaultName;
    request.filter = SaveAsFilter(job.VideoType);
    request.initialFolder = lastSaveFolder_;
    std::string chosen;
    if (!services_.chooseSavePath || !services_.chooseSavePath(request, &chosen)) {
        DeleteFileQuietly(host_.TempAviPath());
        DeleteFileQuietly(host_.TempWavPath());
        ClosingStep();
        WriteLogLine("Save Canceled!");
        return false;
    }
    *path = chosen;
    const std::size_t slash = chosen.find_last_of('/');
    lastSaveFolder_ = slash == std::string::npos ? std::string() : chosen.substr(0, slash);
    LogFilePath(*path);
    return true;
}

void RecordFinisher::JoinWithSound(const std::string& path) {
    const std::string tempAvi = host_.TempAviPath();
    const std::string tempWav = host_.TempWavPath();
    MergeContext context;
    context.owner = host_.MainWindow();
    context.api = services_.mergeApi;
    const int result = Merge_Video_And_Sound_File(tempAvi, tempWav, path, audio::HaveCompressedFormat,
                                                  audio::CompressedFormat, audio::CompressedFormatSize,
                                                  1, 1, context);
    switch (result) {
        case kMergeJoined:
            ShowSavedFileMessage(host_.MainWindow(), host_.Job().AutoSave, path, host_.Job().SoundMissingMs);
            WriteLogLine("Merge_Video_And_Sound_File Successful!");
            DeleteFileQuietly(tempAvi);
            DeleteFileQuietly(tempWav);
            if (host_.Settings().PlayVideo && services_.shellOpen) services_.shellOpen(path);
            break;
        case kMergeVideoError:
        case kMergeNotVideo: {
            WriteLogLine(result == kMergeVideoError ? "Merge_Video_And_Sound_File Error code 1!"
                                                    : "Merge_Video_And_Sound_File Error code 3!");
            // Nothing could be joined; the recording's files stay where they are rather than
            // being thrown away.
            const std::string line = "Temporary files kept: " + tempAvi + " " + tempWav;
            WriteLogLine(line.c_str());
            break;
        }
        case kMergeAudioError:
        case kMergeNotAudio:
            WriteLogLine("Merge_Video_And_Sound_File Error code 2 or 4!");
            if (!CopyFileWithProgress(tempAvi, path, /*failIfExists=*/false)) {
                UnableCreateFileOwned();
                return;
            }
            DeleteFileQuietly(tempAvi);
            DeleteFileQuietly(tempWav);
            platform::MessageBox(0, GetText("MsgBox", "UnableCombine"), kNoteCaption,
                                 platform::MB_OK | platform::MB_ICONWARNING);
            break;
        case kMergeSaveFailed:
            WriteLogLine("Merge_Video_And_Sound_File Error code 5!");
            SaveSideBySide(path, tempAvi, tempWav);
            return;
        default: break;
    }
    ClosingStep();
}

void RecordFinisher::SaveSideBySide(const std::string& path, const std::string& tempAvi,
                                    const std::string& tempWav) {
    const std::string soundCopy = path + ".wav";
    if (!CopyFileWithProgress(tempAvi, path, /*failIfExists=*/false)) {
        UnableCreateFileOwned();
        return;
    }
    DeleteFileQuietly(tempAvi);
    if (!CopyFileWithProgress(tempWav, soundCopy, /*failIfExists=*/false)) {
        UnableCreateFileOwned();
        return;
    }
    DeleteFileQuietly(tempWav);
    platform::MessageBox(0, GetText("MsgBox", "FailedMessage") + path + "\n" + soundCopy, kNoteCaption,
                         platform::MB_OK | platform::MB_ICONWARNING);
    ClosingStep();
}

void RecordFinisher::UnableCreateFileOwned() {
    platform::MessageBox(host_.MainWindow(), GetText("MsgBox", "UnableCreateFile"), kNoteCaption,
                         platform::MB_OK | platform::MB_ICONWARNING);
}

void RecordFinisher::ClosingStep() {
    if (host_.Job().RecordMode == 0 && host_.ShowSelectedArea())
        platform::SendMessage(host_.MainWindow(), recording::WM_USER_FLASHFRAME, 0, 0);
}

}  // namespace finishing
