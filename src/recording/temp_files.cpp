#include "recording/temp_files.h"

#include "platform/core/paths.h"

#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <unistd.h>

namespace recording {

namespace {
constexpr int kMaxRefusedNames = 1000;
std::mutex pathMutex;
std::string tempAviPath;
}  // namespace

std::string GetTempFolder() {
    std::string folder = platform::PrivateTempFolder();
    return folder.empty() ? platform::GetProgramFolder() : folder;
}

std::string TempAviPath() {
    std::lock_guard lock(pathMutex);
    return tempAviPath;
}

void SetTempAviPath(const std::string& path) {
    std::lock_guard lock(pathMutex);
    tempAviPath = path;
}

bool ClaimTempName(const std::string& path) {
    // An existing file is never taken over: it may be the unfinished video of an interrupted
    // recording or the input of a conversion still running.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(path.c_str());
    return true;
}

bool MakeTempPath(const std::string& folder, const std::string& ext, std::string& path,
                  const std::function<bool(const std::string&)>& claim) {
    path = folder + "temp" + ext;
    std::minstd_rand0 random(static_cast<unsigned>(std::time(nullptr)));
    for (int refused = 0; !claim(path);) {
        if (++refused >= kMaxRefusedNames) return false;
        path = folder + "temp" + std::to_string(random() % 32768) + ext;
    }
    return true;
}

bool MakeTempAviPath() {
    std::string path;
    bool found = MakeTempPath(GetTempFolder(), ".avi", path);
    SetTempAviPath(path);
    return found;
}

}  // namespace recording
