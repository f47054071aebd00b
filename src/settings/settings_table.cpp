#include "settings/settings_table.h"

namespace settings {

RecordSettings::RecordSettings() {
    for (const IntSetting& setting : kIntSettings) this->*setting.member = setting.def;
}

}  // namespace settings
