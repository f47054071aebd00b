#pragma once
// The cursor highlight colours that stand in for black (0): the Video page applies them when it
// initialises, so a fresh Config.ini is written with them at the first exit.
#include "settings/record_settings.h"

#include <cstdint>

namespace settings {

constexpr std::int32_t kDefaultLeftClickColor = 0x0000FF;   // red, 0x00BBGGRR
constexpr std::int32_t kDefaultRightClickColor = 0xFF0000;  // blue
constexpr std::int32_t kDefaultHighLightColor = 0x80FFFF;   // light yellow halo

// A colour of 0 becomes its default; any other colour stays.
inline void ApplyHighlightColorDefaults(RecordSettings& s) {
    if (s.ClickHighMouseLeftCOLOR == 0) s.ClickHighMouseLeftCOLOR = kDefaultLeftClickColor;
    if (s.ClickHighMouseRightCOLOR == 0) s.ClickHighMouseRightCOLOR = kDefaultRightClickColor;
    if (s.HighLightMouseCOLOR == 0) s.HighLightMouseCOLOR = kDefaultHighLightColor;
}

}  // namespace settings
