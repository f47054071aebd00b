#include "recording/temp_files.h"

#include <mutex>

namespace recording {

namespace {
std::mutex pathMutex;
std::string tempAviPath;
}  // namespace

std::string TempAviPath() {
    std::lock_guard lock(pathMutex);
    return tempAviPath;
}

void SetTempAviPath(const std::string& path) {
    std::lock_guard lock(pathMutex);
    tempAviPath = path;
}

bool MakeTempAviPath() {
    std::string path;
    bool found = MakeTempPath(GetTempFolder(), ".avi", path);
    SetTempAviPath(path);
    return found;
}

}  // namespace recording
