#include "app/status_lines.h"

#include "companions/phrasebook/phrasebook.h"

namespace app {

const char* VideoFormatLabel(int videoType) {
    static const char* const kLabels[] = {
        "AVI - Audio Video Interleaved", "FLV - Flash Video Format", "MP4 - MPEG-4 Video",
        "MPEG-1 Movie",                  "WMV - Windows Media Video", "MPEG-2 Movie",
        "SWF - SWF Video Format"};
    if (videoType < 100 || videoType > 106) return nullptr;
    return kLabels[videoType - 100];
}

std::string AreaLineText(int recordMode) {
    return GetText("StatusInfo", recordMode == 1 ? "FullRecordMode" : "SelectMode");
}

std::string CursorLineText(int recordMouse) {
    return GetText("StatusInfo", recordMouse ? "RecordMouse" : "NotRecordMouse");
}

bool VideoTypeLineText(int videoType, std::string& text) {
    const char* label = VideoFormatLabel(videoType);
    if (!label) return false;
    text = std::string(GetText("Video", "VideoType")) + label;
    return true;
}

}  // namespace app
