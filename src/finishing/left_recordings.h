#pragma once
// Recordings left in the temporary folder by a run that ended without finishing them (killed,
// crashed, quit before saving). At start-up, with the single-instance lock held (so no other
// copy is writing them), each is offered once: Save finishes it as a new recording would be
// finished (its video given an index and its sound sizes completed first), Delete removes it,
// Later keeps it for the next start.
// Thread contract: user-interface thread.
#include "platform/core/types.h"
#include "settings/record_settings.h"

#include <ctime>
#include <string>
#include <vector>

namespace finishing {

struct LeftRecording {
    std::string aviPath;
    std::string wavPath;  // empty: no sound found for it
    std::time_t modified = 0;
};

// "temp*.avi" files in `folder` (ending with '/'), each with the "temp*.wav" last written
// closest to it within a few seconds, if any.
std::vector<LeftRecording> FindLeftRecordings(const std::string& folder);

// Asks about `left`: Save (posted to the main window's finishing stage as a WM_USER_RECORDFINISH,
// with the format and output choices of `settings`), Delete or Later. `heading` opens the
// question (why an interrupted recording stopped and where it is kept); without one the
// recording is described as left by an earlier run.
void OfferLeftRecording(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                        const LeftRecording& left, const std::string& heading = {});

// Asks about each recording in `folder`; a recording to save goes to the main window's
// finishing stage as a posted WM_USER_RECORDFINISH, with the format and output choices of
// `settings`.
void OfferLeftRecordings(platform::WindowHandle mainWindow, const settings::RecordSettings& settings,
                         const std::string& folder);

}  // namespace finishing
