#include "platform/core/instance_lock.h"

#include "platform/core/paths.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {
std::string LockPath(const std::string& name) {
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && IsDirectory(runtime))
        folder = std::string(runtime) + "/";
    else
        folder = PrivateTempFolder();
    std::string file;
    for (char c : name) file += (c == '/' || c == ' ') ? '_' : c;
    return folder + file + ".lock";
}
}  // namespace

InstanceLock::InstanceLock(std::string name) : name_(std::move(name)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0 && !leaked_) close(fd_);
}

bool InstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    int fd = open(LockPath(name_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: do not keep the user from recording
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace platform
