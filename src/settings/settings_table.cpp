#include "settings/settings_table.h"

namespace settings {

RecordSettings::RecordSettings() {
    for (const IntSetting& setting : kIntSettings) this->*setting.member = setting.def;
}

void ReplaceBlackHighlightColours(RecordSettings& s) {
    if (s.ClickHighMouseLeftCOLOR == 0) s.ClickHighMouseLeftCOLOR = kDefaultClickHighMouseLeftCOLOR;
    if (s.ClickHighMouseRightCOLOR == 0) s.ClickHighMouseRightCOLOR = kDefaultClickHighMouseRightCOLOR;
    if (s.HighLightMouseCOLOR == 0) s.HighLightMouseCOLOR = kDefaultHighLightMouseCOLOR;
}

}  // namespace settings
