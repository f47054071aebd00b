#pragma once
// The record-finish handler: names the output of a finished recording, asks for a path with the
// Save As dialog or uses the automatic output folder, and produces the file: an AVI joined with
// the sound, an AVI copied by a worker when there is no sound, or any other format made by the
// converter worker.
//
// Thread contract: OnRecordFinish runs on the user-interface thread (the main window's dispatch
// of WM_USER_RECORDFINISH). A worker gets its own copies of the paths and job values it reads.
// RetryPosted is written on the user-interface thread only.
#include "finishing/convert_worker.h"
#include "finishing/copy_worker.h"
#include "finishing/finish_host.h"
#include "finishing/merge_api.h"
#include "finishing/save_as_dialog.h"
#include "platform/core/types.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace finishing {

// Set once the handler has re-posted WM_USER_RECORDFINISH after an output file that could not be
// created; never cleared while the process runs.
inline std::atomic<std::int32_t> RetryPosted{0};

// The output path handed to the last worker started.
const std::string& OutputPath();

struct FinishServices {
    ChooseSavePathFn chooseSavePath;  // the Save As dialog
    ShellOpenFn shellOpen;            // the shell's "open" verb
    MergeApi* mergeApi = nullptr;     // null: the platform's AVI calls
    std::string programFolder;        // holds codes/Transmux; empty: the running program's
    platform::ProcessLauncher* launcher = nullptr;  // starts the converter; null: the system's
};
// The Qt file dialog and platform::ShellOpen.
FinishServices SystemFinishServices();

class RecordFinisher {
public:
    explicit RecordFinisher(FinishHost& host, FinishServices services = SystemFinishServices());

    // WM_USER_RECORDFINISH; both parameters are ignored. Returns 0.
    platform::LRESULT OnRecordFinish(platform::WPARAM wParam, platform::LPARAM lParam);

    // Folder of the last path confirmed in the Save As dialog (memory only).
    const std::string& LastSaveFolder() const { return lastSaveFolder_; }
    // Id of the last worker started.
    std::thread::id WorkerId() const { return workerId_; }

private:
    // Decides the output path; false when the handler must return (already reported).
    bool ChooseOutputPath(const std::string& defaultName, std::string* path);
    void JoinWithSound(const std::string& path);
    void StartCopy(const std::string& path);
    void StartConversion(const std::string& path);
    void SaveSideBySide(const std::string& path, const std::string& tempAvi, const std::string& tempWav);
    void ClosingStep();
    void UnableCreateFileOwned();

    FinishHost& host_;
    FinishServices services_;
    std::string lastSaveFolder_;
    std::thread::id workerId_;
};

}  // namespace finishing
