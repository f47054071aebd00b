#pragma once
// The record-finish handler: names the output of a finished recording, asks for a path with the
// Save As dialog or uses the automatic output folder, and produces the file: an AVI joined with
// the sound, an AVI copied by a worker when there is no sound, or any other format made by the
// converter worker.
//
// Each run works on its own copy of the recording's paths and job values (the FinishedRecording
// whose ticket the finish message carries), so a new recording may start while one is being
// finished. An output that cannot be made goes to OfferAnotherPlace; the recording is kept.
//
// Thread contract: OnRecordFinish and Finish run on the user-interface thread (the main window's
// dispatch of WM_USER_RECORDFINISH); a run may nest inside another one's Save As dialog. A worker
// gets its own copies of the paths and job values it reads (a copy worker shares only its
// CopyQuit). FinishesInProgress may be read from any thread.
#include "finishing/convert_worker.h"
#include "finishing/copy_worker.h"
#include "finishing/finish_host.h"
#include "finishing/merge_api.h"
#include "finishing/save_as_dialog.h"
#include "platform/core/types.h"
#include "recording/finished_recording.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace finishing {

// Recordings whose finishing has begun and not ended: runs of the handler and the copy and
// converter workers they started.
int FinishesInProgress();

// The output path handed to the last worker started.
const std::string& OutputPath();

struct FinishServices {
    ChooseSavePathFn chooseSavePath;  // the Save As dialog
    ShellOpenFn shellOpen;            // the shell's "open" verb
    MergeApi* mergeApi = nullptr;     // null: the platform's AVI calls
    std::string programFolder;        // holds codes/Transmux; empty: the running program's
    platform::ProcessLauncher* launcher = nullptr;  // starts the converter; null: the system's
    std::function<void()> closeSaveAs;  // rejects open Save As dialogs; null: the Qt ones
};
// The Qt file dialog and platform::ShellOpen.
FinishServices SystemFinishServices();

class RecordFinisher {
public:
    explicit RecordFinisher(FinishHost& host, FinishServices services = SystemFinishServices());

    // WM_USER_RECORDFINISH: wParam the recording's ticket (recording::DepositFinished); with no
    // deposited recording behind it, the main window's current paths and job are taken. Returns 0.
    platform::LRESULT OnRecordFinish(platform::WPARAM wParam, platform::LPARAM lParam);
    // Names, places and produces the output of `recording`.
    void Finish(const recording::FinishedRecording& recording);

    // A run of the handler is waiting in the Save As dialog.
    bool InDialog() const { return dialogsOpen_ > 0; }
    // The user quits while a Save As dialog is open or a recording thread is closing its files:
    // the dialogs are closed, their recordings (and one whose finish message is still to come)
    // kept for the next start, and the recorder ends once the handler has returned.
    void RequestQuit();
    // A recording ended without a finish message (it was interrupted): when a quit waits for it,
    // the quit goes ahead, its files `kept` staying for the next start, and true is returned.
    bool QuitIfRequested(const std::string& kept);
    // The user quits while copy workers may run: each copy not ended yet is stopped, its
    // recording kept for the next start. True when one was stopped: its worker then ends the
    // recorder; false when the caller must.
    bool StopCopies();

    // Folder of the last path confirmed in the Save As dialog (memory only).
    const std::string& LastSaveFolder() const { return lastSaveFolder_; }
    // Id of the last worker started.
    std::thread::id WorkerId() const { return workerId_; }

private:
    using Recording = recording::FinishedRecording;
    // Decides the output path; false when the handler must return (already reported).
    bool ChooseOutputPath(const Recording& rec, std::string* path);
    void JoinWithSound(const Recording& rec, const std::string& path);
    void StartCopy(const Recording& rec, const std::string& path);
    void StartConversion(const Recording& rec, const std::string& path);
    void SaveSideBySide(const Recording& rec, const std::string& path);
    void ClosingStep(const Recording& rec);
    void OutputRefused(const Recording& rec, const std::string& folder);
    Recording CurrentRecording();
    void QuitOnce();

    FinishHost& host_;
    FinishServices services_;
    std::string lastSaveFolder_;
    std::thread::id workerId_;
    std::vector<std::weak_ptr<CopyQuit>> copies_;  // of the copy workers started
    int dialogsOpen_ = 0;
    bool quitRequested_ = false;
    bool quitSent_ = false;
};

}  // namespace finishing
