#include "app/log_lines.h"

#include "companions/diary/diary.h"

#include <cstdio>

namespace app {

void LogSettingsNotSaved(const std::string& path) {
    char line[1024];
    std::snprintf(line, sizeof line, kSettingsNotSavedFormat, path.c_str());
    WriteLogLine(line);
}

}  // namespace app
