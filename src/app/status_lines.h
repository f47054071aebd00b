#pragma once
// Texts of the main window's status lines.
#include <string>

namespace app {

// Control ids of the status lines.
constexpr int IDC_AREA_LINE = 1039;
constexpr int IDC_SOUND_LINE = 1040;
constexpr int IDC_CURSOR_LINE = 1041;
constexpr int IDC_TYPE_LINE = 1088;

// Label of an output format code 100-106; null for any other code.
const char* VideoFormatLabel(int videoType);

// ("StatusInfo", "FullRecordMode") for record mode 1, else ("StatusInfo", "SelectMode").
std::string AreaLineText(int recordMode);
// ("StatusInfo", "RecordMouse") when the cursor is recorded, else "NotRecordMouse".
std::string CursorLineText(int recordMouse);
// ("Video", "VideoType") followed by the format label; false (text untouched) for a code
// outside 100-106.
bool VideoTypeLineText(int videoType, std::string& text);

}  // namespace app
