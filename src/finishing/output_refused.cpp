#include "finishing/output_refused.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/finish_texts.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "recording/recording_messages.h"

#include <sys/statvfs.h>

namespace finishing {

namespace {
// Less room than this counts as a full disk.
constexpr unsigned long long kFullBelowBytes = 1024 * 1024;
}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool FolderIsFull(const std::string& folder) {
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) != 0) return false;
    return static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize < kFullBelowBytes;
}

void OfferAnotherPlace(platform::WindowHandle mainWindow, const recording::FinishedRecording& recording,
                       const std::string& folder) {
    std::string kept = recording.tempAviPath;
    if (recording.RecordAudio && !recording.tempWavPath.empty()) kept += "\n" + recording.tempWavPath;
    const std::string line = "Output not created in " + folder + "; recording kept: " + kept;
    WriteLogLine(line.c_str());
    const std::string text = GetText("MsgBox", FolderIsFull(folder) ? "OutputDiskFull" : "OutputNotCreated") +
                             folder + "\n\n" + GetText("MsgBox", "RecordingKeptIn") + kept + "\n\n" +
                             GetText("MsgBox", "ChooseAnotherPlace");
    const int answer = platform::MessageBox(mainWindow, text, kNoteCaption,
                                            platform::MB_YESNO | platform::MB_ICONWARNING);
    if (answer != platform::IDYES) return;
    recording::FinishedRecording again = recording;
    again.AutoSave = 0;  // this time the user picks the place
    again.KeepOnCancel = 1;
    platform::PostMessage(mainWindow, recording::WM_USER_RECORDFINISH,
                          recording::DepositFinished(std::move(again)), 0);
}

OutputRefusedFn OfferAnotherPlaceFor(platform::WindowHandle mainWindow, recording::FinishedRecording recording) {
    return [mainWindow, recording = std::move(recording)](const std::string& outputPath) {
        OfferAnotherPlace(mainWindow, recording, FolderOf(outputPath));
    };
}

}  // namespace finishing
