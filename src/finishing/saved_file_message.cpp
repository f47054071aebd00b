#include "finishing/saved_file_message.h"

#include "companions/phrasebook/phrasebook.h"
#include "finishing/finish_texts.h"
#include "platform/core/message_box.h"

#include <cstdio>

namespace finishing {

namespace {

// ("MsgBox", "SoundMissing") with its "%1" replaced by the seconds, to a tenth.
std::string SoundMissingText(std::uint32_t ms) {
    std::string text = GetText("MsgBox", "SoundMissing");
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", ms / 1000.0);
    const std::size_t at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, seconds);
    return text;
}

}  // namespace

std::string SavedFileText(std::int32_t autoSave, const std::string& path, std::uint32_t soundMissingMs) {
    std::string text = std::string(GetText("MsgBox", autoSave ? "AutoSaveFile" : "SaveFile")) + path +
                       GetText("MsgBox", "SaveSuccess");
    if (soundMissingMs > 0) text += "\n" + SoundMissingText(soundMissingMs);
    return text;
}

void ShowSavedFileMessage(platform::WindowHandle mainWindow, std::int32_t autoSave, const std::string& path,
                          std::uint32_t soundMissingMs) {
    platform::MessageBox(mainWindow, SavedFileText(autoSave, path, soundMissingMs), kApplicationName,
                         platform::MB_OK);
}

}  // namespace finishing
