#pragma once
// Texts of the main window's status lines.
#include "resources/resource_ids.h"
#include "video_settings/video_formats.h"

#include <string>

namespace app {

// Control ids of the status lines.
using resources::IDC_AREA_LINE;
using resources::IDC_CURSOR_LINE;
using resources::IDC_SOUND_LINE;
using resources::IDC_TYPE_LINE;

// The format and cursor lines are the Video page's texts too.
using video_settings::CursorLineText;
using video_settings::VideoFormatLabel;
using video_settings::VideoTypeLineText;

// ("StatusInfo", "FullRecordMode") for record mode 1, else ("StatusInfo", "SelectMode").
std::string AreaLineText(int recordMode);

}  // namespace app
