#pragma once
// Fixed texts of the finishing stage: the caption of its boxes and its log lines.
namespace finishing {

constexpr const char* kApplicationName = "Rivive Zuzuve";
constexpr const char* kNoteCaption = "Note";
// Followed by the recording's temporary paths.
constexpr const char* kQuitKeptLine = "Quit before saving, recording kept: ";

}  // namespace finishing
