#include "video_settings/video_formats.h"

#include "companions/phrasebook/phrasebook.h"

namespace video_settings {

const std::array<VideoFormatEntry, 7> kVideoFormats{{
    {100, "AVI - Audio Video Interleaved(*.avi)", "AVI - Audio Video Interleaved", "AVIFILETIPS"},
    {104, "WMV - Windows Media Video(*.wmv)", "WMV - Windows Media Video", "OTHERFILETIPS"},
    {102, "MP4 - MPEG-4 Video(*.mp4)", "MP4 - MPEG-4 Video", "OTHERFILETIPS"},
    {103, "MPEG-1 Movie(*mpg)", "MPEG-1 Movie", "OTHERFILETIPS"},
    {105, "MPEG-2 Movie(*mpg)", "MPEG-2 Movie", "OTHERFILETIPS"},
    {101, "FLV - Flash Video Format(*.flv)", "FLV - Flash Video Format", "OTHERFILETIPS"},
    {106, "SWF - SWF Video Format(*.swf)", "SWF - SWF Video Format", "OTHERFILETIPS"},
}};

int FormatPosition(std::int32_t videoType) {
    for (std::size_t i = 0; i < kVideoFormats.size(); ++i)
        if (kVideoFormats[i].code == videoType) return static_cast<int>(i);
    return -1;
}

const char* VideoFormatLabel(std::int32_t videoType) {
    const int position = FormatPosition(videoType);
    return position < 0 ? nullptr : kVideoFormats[static_cast<std::size_t>(position)].label;
}

bool VideoTypeLineText(std::int32_t videoType, std::string& text) {
    const char* label = VideoFormatLabel(videoType);
    if (!label) return false;
    text = std::string(GetText("Video", "VideoType")) + label;
    return true;
}

std::string CursorLineText(std::int32_t recordMouse) {
    return GetText("StatusInfo", recordMouse ? "RecordMouse" : "NotRecordMouse");
}

int FrameRatePosition(std::int32_t frameRate) {
    for (std::size_t i = 0; i < kFrameRates.size(); ++i)
        if (kFrameRates[i] == frameRate) return static_cast<int>(i);
    return -1;
}

}  // namespace video_settings
