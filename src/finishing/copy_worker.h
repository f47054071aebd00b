#pragma once
// The copy worker: copies the temporary video to the output path (refusing an existing file)
// with the progress bar following the 64 KiB chunks, then deletes the temporary video, reports
// the saved file and opens the result when PlayVideo is set.
//
// A quit confirmed while it copies (CopyQuit::Request) stops the copy at its next chunk: the
// unfinished copy is removed, the temporary video kept for the next start, and the worker ends
// the recorder through `endApplication`. CopyQuit decides once, under a race, whether the quit
// came before the end of the copy (the worker ends the recorder) or after it (the caller does).
//
// Thread contract: everything the worker reads is copied into its CopyJob when it starts, except
// the CopyQuit it shares with the user-interface thread. It talks to windows only through the
// progress messages, message boxes (any thread) and `endApplication`. Nothing joins it.
#include "platform/core/types.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace finishing {

using ShellOpenFn = std::function<bool(const std::string& path)>;

// The end of one copy, settled between its worker and the user-interface thread.
class CopyQuit {
public:
    // A quit was confirmed: true when the copy was still running (its worker stops it and ends
    // the recorder), false when it had already ended (the caller ends the recorder itself).
    bool Request();
    // The worker: a quit has been requested.
    bool Requested() const { return state_.load() == kQuitRequested; }
    // The worker, once the copy has ended: true when no quit came before.
    bool End();

private:
    enum State : int { kRunning, kQuitRequested, kEnded };
    std::atomic<int> state_{kRunning};
};

struct CopyJob {
    platform::WindowHandle mainWindow = 0;
    std::string tempAviPath;
    std::string outputPath;
    std::int32_t reindex = 0;  // the video has no index: the copy is given one
    std::int32_t autoSave = 0;
    std::int32_t playVideo = 0;
    ShellOpenFn shellOpen;  // the shell's "open" verb
    // The output could not be made (given the output path); null: the "UnableCreateFile" box.
    std::function<void(const std::string&)> outputRefused;
    std::shared_ptr<CopyQuit> quit;  // null: the copy is never stopped
    // Removes the tray icon and ends the main window's modal loop, without the exit routine;
    // called from the worker after a quit.
    std::function<void()> endApplication;
    std::shared_ptr<const void> inProgress;  // held while the worker runs
};

// Drives the bar during a copy; cancels it once a quit is requested.
class CopyProgress {
public:
    explicit CopyProgress(const CopyQuit* quit = nullptr) : quit_(quit) {}
    std::uint32_t operator()(std::uint64_t totalSize, std::uint64_t copied, int reason);
    // Blocks of 64 KiB in the low 32 bits of `totalSize`, rounded up, taken modulo 65536.
    static int BarRange(std::uint64_t totalSize);

private:
    const CopyQuit* quit_;
    std::int32_t steps_ = 0;
};

// The worker's body (runs on the calling thread).
void CopyThreadProc(const CopyJob& job);
// Success report: saved-file message, the result opened, "Copy Complete!".
void ReportCopyDone(const CopyJob& job);

// Starts CopyThreadProc on a thread of its own, which runs at once and is not joined.
std::thread::id StartCopyWorker(CopyJob job);

}  // namespace finishing
