#pragma once
// What happens when the output file of a recording cannot be made (a folder that cannot be
// created or written to, a full disk): one message naming the folder and where the recording is
// kept, asking whether to choose another place. Yes hands the recording back to the finishing
// stage with the Save As dialog; No leaves it where it is (offered again at the next start).
// The recording's temporary files are never deleted on this path.
// Thread contract: any thread; the message box is shown on the user-interface thread and the
// recording goes back to the finishing stage as a posted WM_USER_RECORDFINISH.
#include "platform/core/types.h"
#include "recording/finished_recording.h"

#include <functional>
#include <string>

namespace finishing {

// The folder part of an output path ("." for a bare name).
std::string FolderOf(const std::string& path);
// The file system holding `folder` has (almost) no room left.
bool FolderIsFull(const std::string& folder);

// The message, and the answer acted on; `folder` is where the output was to go.
void OfferAnotherPlace(platform::WindowHandle mainWindow, const recording::FinishedRecording& recording,
                       const std::string& folder);

// Bound to one recording, for the workers.
using OutputRefusedFn = std::function<void(const std::string& outputPath)>;
OutputRefusedFn OfferAnotherPlaceFor(platform::WindowHandle mainWindow, recording::FinishedRecording recording);

}  // namespace finishing
