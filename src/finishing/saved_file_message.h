#pragma once
// The saved-file message: ("MsgBox", "AutoSaveFile") or ("MsgBox", "SaveFile") by the job's
// AutoSave, then the output path, then ("MsgBox", "SaveSuccess"); owned by the main window,
// the application's name as caption, an OK button and no icon. When sound was missing from the
// recording (the sound server was lost), ("MsgBox", "SoundMissing") follows with its length.
// Thread contract: any thread (the box is shown on the user-interface thread).
#include "platform/core/types.h"

#include <cstdint>
#include <string>

namespace finishing {

std::string SavedFileText(std::int32_t autoSave, const std::string& path, std::uint32_t soundMissingMs = 0);
void ShowSavedFileMessage(platform::WindowHandle mainWindow, std::int32_t autoSave, const std::string& path,
                          std::uint32_t soundMissingMs = 0);

}  // namespace finishing
