#include "platform/core/temp_names.h"

#include "platform/core/paths.h"

#include <ctime>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace platform {

namespace {
constexpr int kMaxRefusedNames = 1000;
}  // namespace

std::string GetTempFolder() {
    std::string folder = PrivateTempFolder();
    return folder.empty() ? GetProgramFolder() : folder;
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
    // Seeded once, so that every try in the same second draws a different number.
    std::minstd_rand0 random(static_cast<unsigned>(std::time(nullptr)));
    for (int refused = 0; !claim(path);) {
        if (++refused >= kMaxRefusedNames) return false;
        path = folder + "temp" + std::to_string(random() % 32768) + ext;
    }
    return true;
}

}  // namespace platform
