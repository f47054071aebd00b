#pragma once
// The output formats as the Video page lists them, and the frame rates of its list.
// Thread contract: immutable data; any thread.
#include <array>
#include <cstdint>
#include <string>

namespace video_settings {

struct VideoFormatEntry {
    std::int32_t code;     // VideoType stored in Config.ini
    const char* listText;  // text of the format list
    const char* label;     // format label of the main window's type line
    const char* tipsKey;   // ("Video", key) of the tip under the list
};

// In list order: AVI, WMV, MP4, MPEG-1, MPEG-2, FLV, SWF.
extern const std::array<VideoFormatEntry, 7> kVideoFormats;

// List position of a VideoType code; -1 for a code outside 100-106.
int FormatPosition(std::int32_t videoType);
// Label of a VideoType code 100-106; null for any other code.
const char* VideoFormatLabel(std::int32_t videoType);
// ("Video", "VideoType") followed by the format label; false (text untouched) for a code
// outside 100-106.
bool VideoTypeLineText(std::int32_t videoType, std::string& text);
// ("StatusInfo", "RecordMouse") when the cursor is recorded, else "NotRecordMouse".
std::string CursorLineText(std::int32_t recordMouse);

// Frame rates of the list, in list order.
constexpr std::array<std::int32_t, 5> kFrameRates{10, 15, 20, 25, 30};
// List position of a frame rate; -1 for any other value.
int FrameRatePosition(std::int32_t frameRate);

}  // namespace video_settings
