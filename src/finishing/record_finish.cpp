#include "finishing/record_finish.h"

#include "audio/compressed_format.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "finishing/merge.h"
#include "finishing/output_refused.h"
#include "finishing/output_names.h"
#include "finishing/progess_dlg.h"
#include "finishing/saved_file_message.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "platform/core/paths.h"
#include "recording/recording_messages.h"
#include "settings/record_settings.h"

#include <cstdio>
#include <filesystem>
#include <memory>

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

std::atomic<int> finishesInProgress{0};

// Counts one recording as being finished for as long as a copy of it lives (handed to a worker,
// it lives until the worker ends).
std::shared_ptr<const void> FinishToken() {
    ++finishesInProgress;
    return std::shared_ptr<const void>(nullptr, [](const void*) { --finishesInProgress; });
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

int FinishesInProgress() { return finishesInProgress.load(); }

FinishServices SystemFinishServices() {
    FinishServices services;
    services.chooseSavePath = ShowSaveAsDialog;
    services.shellOpen = [](const std::string& path) { return platform::ShellOpen(path); };
    services.closeSaveAs = CloseSaveAsDialogs;
    return services;
}

RecordFinisher::RecordFinisher(FinishHost& host, FinishServices services)
    : host_(host), services_(std::move(services)) {}

RecordFinisher::Recording RecordFinisher::CurrentRecording() {
    return recording::FinishedFromJob(host_.Job(), host_.TempAviPath(), host_.TempWavPath());
}

platform::LRESULT RecordFinisher::OnRecordFinish(platform::WPARAM wParam, platform::LPARAM) {
    std::optional<Recording> deposited = recording::TakeFinished(static_cast<std::uintptr_t>(wParam));
    const Recording rec = deposited ? *deposited : CurrentRecording();
    if (QuitIfRequested(rec.tempAviPath + " " + rec.tempWavPath)) return 0;
    Finish(rec);
    return 0;
}

void RecordFinisher::RequestQuit() {
    quitRequested_ = true;
    if (services_.closeSaveAs) services_.closeSaveAs();
}

bool RecordFinisher::QuitIfRequested(const std::string& kept) {
    if (!quitRequested_) return false;
    const std::string line = kQuitKeptLine + kept;
    WriteLogLine(line.c_str());
    QuitOnce();
    return true;
}

bool RecordFinisher::StopCopies() {
    bool stopped = false;
    for (const std::weak_ptr<CopyQuit>& copy : copies_)
        if (const std::shared_ptr<CopyQuit> quit = copy.lock()) stopped = quit->Request() || stopped;
    return stopped;
}

void RecordFinisher::QuitOnce() {
    if (dialogsOpen_ > 0 || quitSent_) return;
    quitSent_ = true;
    host_.Quit();
}

void RecordFinisher::Finish(const Recording& rec) {
    const std::shared_ptr<const void> token = FinishToken();
    WriteLogLine("OnRecordFinish Math!");
    // A recording started since keeps its click hook and its minimised window.
    if (host_.Job().Running == 0) {
        if (host_.HookInstalled() != 0) {
            host_.RemoveClickHook();
            host_.HookInstalled() = 0;
        }
        host_.RestoreMain();
    }

    std::string path;
    if (!ChooseOutputPath(rec, &path)) {
        // The outermost run ends the recorder once every dialog is closed.
        if (quitRequested_) QuitOnce();
        return;
    }

    const bool converted = NeedsConverter(rec.VideoType);
    // The converter overwrites its output, so trying the place first costs nothing there; a
    // plain copy refuses an existing file and is not tried.
    if (rec.RecordAudio || converted) {
        if (!ProbeCreate(path)) {
            if (rec.RecordAudio) WriteLogLine("Create Audio File Error!");
            LogFilePath(path);
            OutputRefused(rec, FolderOf(path));
            return;
        }
        if (!converted) {
            JoinWithSound(rec, path);
            return;
        }
    }

    if (converted) StartConversion(rec, path);
    else StartCopy(rec, path);
    ClosingStep(rec);
}

void RecordFinisher::OutputRefused(const Recording& rec, const std::string& folder) {
    OfferAnotherPlace(host_.MainWindow(), rec, folder);
}

void RecordFinisher::StartCopy(const Recording& rec, const std::string& path) {
    ShowProgress(true);
    OutputPathStore() = path;
    CopyJob copy;
    copy.mainWindow = host_.MainWindow();
    copy.tempAviPath = rec.tempAviPath;
    copy.outputPath = path;
    copy.reindex = rec.IndexMissing;
    copy.autoSave = rec.AutoSave;
    copy.playVideo = host_.Settings().PlayVideo;
    copy.shellOpen = services_.shellOpen;
    copy.outputRefused = OfferAnotherPlaceFor(host_.MainWindow(), rec);
    copy.quit = std::make_shared<CopyQuit>();
    copy.endApplication = host_.EndApplication();
    copy.inProgress = FinishToken();
    std::erase_if(copies_, [](const std::weak_ptr<CopyQuit>& c) { return c.expired(); });
    copies_.push_back(copy.quit);
    workerId_ = StartCopyWorker(std::move(copy));
}

void RecordFinisher::StartConversion(const Recording& rec, const std::string& path) {
    OutputPathStore() = path;
    ShowProgress(true);
    ConvertJob convert;
    convert.mainWindow = host_.MainWindow();
    convert.programFolder = services_.programFolder.empty() ? platform::GetProgramFolder() : services_.programFolder;
    convert.tempAviPath = rec.tempAviPath;
    convert.tempWavPath = rec.tempWavPath;
    convert.outputPath = path;
    convert.videoType = rec.VideoType;
    convert.recordAudio = rec.RecordAudio;
    convert.autoSave = rec.AutoSave;
    convert.playVideo = host_.Settings().PlayVideo;
    convert.recordedSeconds = rec.RecordedSeconds;
    convert.soundMissingMs = rec.SoundMissingMs;
    convert.shellOpen = services_.shellOpen;
    convert.launcher = services_.launcher;
    convert.converting = &host_.Converting();
    convert.cancelConvert = &host_.CancelConvert();
    convert.endApplication = host_.EndApplication();
    convert.outputRefused = OfferAnotherPlaceFor(host_.MainWindow(), rec);
    convert.inProgress = FinishToken();
    workerId_ = StartConvertWorker(std::move(convert));
}

bool RecordFinisher::ChooseOutputPath(const Recording& rec, std::string* path) {
    const std::string defaultName = DefaultFileName(rec.VideoType);
    if (rec.AutoSave) {
        std::string folder = host_.Settings().AutoSaveDir;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        if (folder.empty() || !EnsureFolder(folder)) {
            WriteLogLine("Create Folder Error!");
            OutputRefused(rec, folder);
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
    request.filter = SaveAsFilter(rec.VideoType);
    request.initialFolder = lastSaveFolder_;
    std::string chosen;
    ++dialogsOpen_;
    const bool confirmed = services_.chooseSavePath && services_.chooseSavePath(request, &chosen);
    --dialogsOpen_;
    if (!confirmed && (quitRequested_ || rec.KeepOnCancel)) {
        const std::string line = "Save Canceled, recording kept: " + rec.tempAviPath + " " + rec.tempWavPath;
        WriteLogLine(line.c_str());
        return false;
    }
    if (!confirmed) {
        DeleteFileQuietly(rec.tempAviPath);
        DeleteFileQuietly(rec.tempWavPath);
        ClosingStep(rec);
        WriteLogLine("Save Canceled!");
        return false;
    }
    *path = chosen;
    const std::size_t slash = chosen.find_last_of('/');
    lastSaveFolder_ = slash == std::string::npos ? std::string() : chosen.substr(0, slash);
    LogFilePath(*path);
    return true;
}

void RecordFinisher::JoinWithSound(const Recording& rec, const std::string& path) {
    const std::string& tempAvi = rec.tempAviPath;
    const std::string& tempWav = rec.tempWavPath;
    MergeContext context;
    context.owner = host_.MainWindow();
    context.api = services_.mergeApi;
    const int result = Merge_Video_And_Sound_File(tempAvi, tempWav, path, audio::HaveCompressedFormat,
                                                  audio::CompressedFormat, audio::CompressedFormatSize,
                                                  1, 1, context);
    switch (result) {
        case kMergeJoined:
            ShowSavedFileMessage(host_.MainWindow(), rec.AutoSave, path, rec.SoundMissingMs);
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
                OutputRefused(rec, FolderOf(path));
                return;
            }
            DeleteFileQuietly(tempAvi);
            DeleteFileQuietly(tempWav);
            platform::MessageBox(0, GetText("MsgBox", "UnableCombine"), kNoteCaption,
                                 platform::MB_OK | platform::MB_ICONWARNING);
            break;
        case kMergeSaveFailed:
            WriteLogLine("Merge_Video_And_Sound_File Error code 5!");
            SaveSideBySide(rec, path);
            return;
        default: break;
    }
    ClosingStep(rec);
}

void RecordFinisher::SaveSideBySide(const Recording& rec, const std::string& path) {
    const std::string soundCopy = path + ".wav";
    // Both copies are made before either temporary file goes, so a failure keeps the recording.
    if (!CopyFileWithProgress(rec.tempAviPath, path, /*failIfExists=*/false) ||
        !CopyFileWithProgress(rec.tempWavPath, soundCopy, /*failIfExists=*/false)) {
        DeleteFileQuietly(path);
        OutputRefused(rec, FolderOf(path));
        return;
    }
    DeleteFileQuietly(rec.tempAviPath);
    DeleteFileQuietly(rec.tempWavPath);
    platform::MessageBox(0, GetText("MsgBox", "FailedMessage") + path + "\n" + soundCopy, kNoteCaption,
                         platform::MB_OK | platform::MB_ICONWARNING);
    ClosingStep(rec);
}

void RecordFinisher::ClosingStep(const Recording& rec) {
    if (rec.RecordMode == 0 && host_.ShowSelectedArea() && host_.Job().Running == 0)
        platform::SendMessage(host_.MainWindow(), recording::WM_USER_FLASHFRAME, 0, 0);
}

}  // namespace finishing
