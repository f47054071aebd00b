#pragma once
// Default output names and Save As filters by output format code (VideoType).
#include <cstdint>
#include <ctime>
#include <string>

namespace finishing {

// Extension with its dot (".avi", ".flv", ".mp4", ".mpg", ".wmv", ".swf"); a code outside
// 100-106 is taken as AVI.
const char* FormatExtension(std::int32_t videoType);
// The dialog's filter, "description|pattern||".
const char* SaveAsFilter(std::int32_t videoType);
// "Recorder-%m-%d_%H%M%S" + extension, formatted with `localTime` (empty if formatting fails).
std::string DefaultFileName(std::int32_t videoType, const std::tm& localTime);
// The same with the current local time.
std::string DefaultFileName(std::int32_t videoType);

}  // namespace finishing
