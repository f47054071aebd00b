#pragma once
// Fixed log lines of start-up and shutdown.
#include <string>

namespace app {

constexpr const char* kStartLineFormat =
    "--------------------- Start Rivive Zuzuve.exe %s --------------------";
constexpr const char* kQuitLine =
    "----------------------- Quit Rivive Zuzuve.exe ---------------------------";
constexpr const char* kBuiltInTextsLine =
    "No translation file could be read from Languages/: the built-in English texts are used";
// Config.ini could not be written on exit; %s is its path. The recorder closes all the same.
constexpr const char* kSettingsNotSavedFormat = "Save Settings Error!,Config File Path is %s";
// Writes the line above for `path`.
void LogSettingsNotSaved(const std::string& path);
constexpr const char* kAppName = "Rivive Zuzuve";
constexpr const char* kProductName = "Velmora Zudodo Raridevi";

}  // namespace app
