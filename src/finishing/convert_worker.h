#pragma once
// The converter worker: probes the recording's bit rate with codes/Transmux, runs the conversion
// chosen by format and sound, moves the bar from the converter's "time=" reports, and ends with
// the saved-file message. A quit asked for during the conversion stops the converter, removes its
// unfinished output, keeps the recording's temporary files for the next start and ends the
// recorder without saving its settings; one asked for after the converter's last report lets the
// saved file stand and ends the recorder all the same. A converter that cannot be started, or
// that ends without a complete output, is reported and the recording's temporary files are kept.
//
// Thread contract: everything the worker reads is copied into its ConvertJob when it starts,
// except the two flags it shares with the user-interface thread (`converting`: written by the
// worker; `cancelConvert`: set by the user-interface thread, read and cleared by the worker).
// It talks to windows only through the progress messages, message boxes (any thread) and
// `endApplication`. Nothing joins it.
#include "finishing/copy_worker.h"
#include "platform/core/process.h"
#include "platform/core/types.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace finishing {

struct ConvertJob {
    platform::WindowHandle mainWindow = 0;
    std::string programFolder;  // ends in '/'; the converter is codes/Transmux in it
    std::string tempAviPath;
    std::string tempWavPath;
    std::string outputPath;
    std::int32_t videoType = 0;
    std::int32_t recordAudio = 0;
    std::int32_t autoSave = 0;
    std::int32_t playVideo = 0;
    std::int32_t recordedSeconds = 0;
    std::uint32_t soundMissingMs = 0;  // sound lost with the sound server, filled with silence
    ShellOpenFn shellOpen;                        // the shell's "open" verb
    platform::ProcessLauncher* launcher = nullptr;  // null: the system's
    std::atomic<std::int32_t>* converting = nullptr;
    std::atomic<std::int32_t>* cancelConvert = nullptr;
    // Removes the tray icon and ends the main window's modal loop with the cancel result,
    // without the exit routine (the settings are not saved). Called from the worker.
    std::function<void()> endApplication;
    // The output folder cannot take the file (given the output path); null: reported as any
    // other failed conversion.
    std::function<void(const std::string&)> outputRefused;
    std::shared_ptr<const void> inProgress;  // held while the worker runs
};

// The source bit rate in kbit/s as the converter prints it for the video alone: 500000 when it
// prints none, 0 when it cannot be run.
std::int32_t ProbeBitrate(const ConvertJob& job);

// The worker's body (runs on the calling thread).
void ConvertThreadProc(const ConvertJob& job);
// The end of a conversion without sound: `completed` 0 is the quit asked for during it.
void FinishConvert(const ConvertJob& job, int completed);
// The end of a conversion with sound.
void FinishConvertWithSound(const ConvertJob& job, int completed);

// Sets `converting` and starts ConvertThreadProc on a thread of its own, which runs at once and
// is not joined.
std::thread::id StartConvertWorker(ConvertJob job);

}  // namespace finishing
