#pragma once
// Fixed log lines of start-up and shutdown.
namespace app {

constexpr const char* kStartLineFormat =
    "--------------------- Start Rivive Zuzuve.exe %s --------------------";
constexpr const char* kQuitLine =
    "----------------------- Quit Rivive Zuzuve.exe ---------------------------";
constexpr const char* kBuiltInTextsLine =
    "No translation file could be read from Languages/: the built-in English texts are used";
constexpr const char* kAppName = "Rivive Zuzuve";
constexpr const char* kProductName = "Velmora Zudodo Raridevi";

}  // namespace app
