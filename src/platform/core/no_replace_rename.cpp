#include "platform/core/no_replace_rename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// The file system (or the kernel) does not know the request, as opposed to refusing it.
bool Unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP; }
// link() says EPERM where the file system has no hard links.
bool LinksUnsupported(int error) { return error == EPERM || Unsupported(error); }

NoReplaceRename ByClaim(const std::string& from, const std::string& to) {
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? NoReplaceRename::kExists : NoReplaceRename::kFailed;
    ::close(fd);
    // Onto the empty file just made: nobody else's file is replaced.
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        errno = error;
        return NoReplaceRename::kFailed;
    }
    return NoReplaceRename::kClaimed;
}

}  // namespace

int RenameNoReplaceCall(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

NoReplaceRename RenameNoReplace(const std::string& from, const std::string& to, AtomicRenameFn atomicRename) {
    if (atomicRename(from.c_str(), to.c_str()) == 0) return NoReplaceRename::kRenamed;
    if (errno == EEXIST) return NoReplaceRename::kExists;
    if (!Unsupported(errno)) return NoReplaceRename::kFailed;

    if (::link(from.c_str(), to.c_str()) == 0) {
        // The file now has its new name; an old name that cannot be removed only lingers.
        ::unlink(from.c_str());
        return NoReplaceRename::kLinked;
    }
    if (errno == EEXIST) return NoReplaceRename::kExists;
    if (!LinksUnsupported(errno)) return NoReplaceRename::kFailed;
    return ByClaim(from, to);
}

const char* FallbackName(NoReplaceRename result) {
    switch (result) {
        case NoReplaceRename::kLinked: return "hard link";
        case NoReplaceRename::kClaimed: return "exclusive claim";
        default: return "";
    }
}

}  // namespace platform
