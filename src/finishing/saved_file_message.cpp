#include "finishing/saved_file_message.h"

#include "companions/phrasebook/phrasebook.h"
#include "finishing/finish_texts.h"
#include "platform/core/message_box.h"

namespace finishing {

std::string SavedFileText(std::int32_t autoSave, const std::string& path) {
    return std::string(GetText("MsgBox", autoSave ? "AutoSaveFile" : "SaveFile")) + path +
           GetText("MsgBox", "SaveSuccess");
}

void ShowSavedFileMessage(platform::WindowHandle mainWindow, std::int32_t autoSave, const std::string& path) {
    platform::MessageBox(mainWindow, SavedFileText(autoSave, path), kApplicationName, platform::MB_OK);
}

}  // namespace finishing
