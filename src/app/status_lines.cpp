#include "app/status_lines.h"

#include "companions/phrasebook/phrasebook.h"

namespace app {

std::string AreaLineText(int recordMode) {
    return GetText("StatusInfo", recordMode == 1 ? "FullRecordMode" : "SelectMode");
}

}  // namespace app
