#pragma once
// The copy worker: copies the temporary video to the output path (refusing an existing file)
// with the progress bar following the 64 KiB chunks, then reports the saved file, deletes the
// temporary video and opens the result when PlayVideo is set.
// Thread contract: everything the worker reads is copied into its CopyJob when it starts; it
// talks to windows only through the progress messages and message boxes (any thread). Nothing
// joins it.
#include "platform/core/types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace finishing {

using ShellOpenFn = std::function<bool(const std::string& path)>;

struct CopyJob {
    platform::WindowHandle mainWindow = 0;
    std::string tempAviPath;
    std::string outputPath;
    std::int32_t autoSave = 0;
    std::int32_t playVideo = 0;
    ShellOpenFn shellOpen;  // the shell's "open" verb
    // The output could not be made (given the output path); null: the "UnableCreateFile" box.
    std::function<void(const std::string&)> outputRefused;
    std::shared_ptr<const void> inProgress;  // held while the worker runs
};

// Drives the bar during a copy; always lets the copy go on.
class CopyProgress {
public:
    std::uint32_t operator()(std::uint64_t totalSize, std::uint64_t copied, int reason);
    // Blocks of 64 KiB in the low 32 bits of `totalSize`, rounded up, taken modulo 65536.
    static int BarRange(std::uint64_t totalSize);

private:
    std::int32_t steps_ = 0;
};

// The worker's body (runs on the calling thread).
void CopyThreadProc(const CopyJob& job);
// Success report: saved-file message, temporary video deleted, the result opened, "Copy Complete!".
void ReportCopyDone(const CopyJob& job);

// Starts CopyThreadProc on a thread of its own, which runs at once and is not joined.
std::thread::id StartCopyWorker(CopyJob job);

}  // namespace finishing
