#include "finishing/output_names.h"

#include <ctime>

namespace finishing {

namespace {

struct FormatNames {
    std::int32_t videoType;
    const char* pattern;
    const char* extension;
    const char* filter;
};

constexpr FormatNames kFormats[] = {
    {100, "Recorder-%m-%d_%H%M%S.avi", ".avi", "AVI - Audio Video Interleaved(*.avi)|*.avi||"},
    {101, "Recorder-%m-%d_%H%M%S.flv", ".flv", "FLV - Flash Video Format(*.flv)|*.flv||"},
    {102, "Recorder-%m-%d_%H%M%S.mp4", ".mp4", "MP4 - MPEG-4 Video(*.mp4)|*.mp4||"},
    {103, "Recorder-%m-%d_%H%M%S.mpg", ".mpg", "MPEG-1 Movie(*mpg)|*.mpg||"},
    {104, "Recorder-%m-%d_%H%M%S.wmv", ".wmv", "WMV - Windows Media Video(*.wmv)|*.wmv||"},
    {105, "Recorder-%m-%d_%H%M%S.mpg", ".mpg", "MPEG-2 Movie(*mpg)|*.mpg||"},
    {106, "Recorder-%m-%d_%H%M%S.swf", ".swf", "SWF - SWF Video Format(*.swf)|*.swf||"},
};

const FormatNames& Find(std::int32_t videoType) {
    for (const FormatNames& f : kFormats)
        if (f.videoType == videoType) return f;
    return kFormats[0];
}

}  // namespace

const char* FormatExtension(std::int32_t videoType) { return Find(videoType).extension; }
const char* SaveAsFilter(std::int32_t videoType) { return Find(videoType).filter; }

std::string DefaultFileName(std::int32_t videoType, const std::tm& localTime) {
    char name[128] = {};
    if (std::strftime(name, sizeof name, Find(videoType).pattern, &localTime) == 0) return {};
    return name;
}

std::string DefaultFileName(std::int32_t videoType) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return {};
    return DefaultFileName(videoType, local);
}

}  // namespace finishing
