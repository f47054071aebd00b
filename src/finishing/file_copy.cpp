#include "finishing/file_copy.h"

#include "companions/diary/diary.h"
#include "platform/core/no_replace_rename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace finishing {

namespace {

constexpr int kTempNameTries = 100;
// Room left in a 255-byte name for the temporary name's dot and suffix.
constexpr std::size_t kMaxTempBase = 200;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A new file beside `to` under a name of its own (its path in `temp`), with the permissions a
// new file gets.
File CreateBeside(const std::string& to, std::string* temp) {
    const std::size_t slash = to.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : to.substr(0, slash + 1);
    const std::string base = to.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, kMaxTempBase);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::minstd_rand random(std::random_device{}());
    for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
        std::string name = folder + "." + base + ".saving-";
        for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        File file(::fdopen(fd, "wb"));
        if (!file) {
            ::close(fd);
            ::unlink(name.c_str());
            return nullptr;
        }
        *temp = std::move(name);
        return file;
    }
    return nullptr;
}

// Gives the finished copy the target's name.
bool PutInPlace(const std::string& temp, const std::string& to, bool failIfExists) {
    if (!failIfExists) return std::rename(temp.c_str(), to.c_str()) == 0;
    const platform::NoReplaceRename result = platform::RenameNoReplace(temp, to);
    if (const char* fallback = platform::FallbackName(result); *fallback) {
        const std::string line = std::string("The file system refused a rename without replace; moved by ") +
                                 fallback + ": " + to;
        WriteLogLine(line.c_str());
    }
    return result == platform::NoReplaceRename::kRenamed || result == platform::NoReplaceRename::kLinked ||
           result == platform::NoReplaceRename::kClaimed;
}

// Brings what was written to `path` onto the disk.
bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Writes all of `in` to `out` in chunks, telling `progress`; false on an error or a cancel.
bool CopyChunks(std::FILE* in, std::FILE* out, std::uint64_t total, const CopyProgressRoutine& progress) {
    if (progress && progress(total, 0, kCopyStreamSwitch) != kCopyContinue) return false;
    std::vector<char> buffer(kCopyChunk);
    std::uint64_t copied = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
        if (n > 0) {
            if (std::fwrite(buffer.data(), 1, n, out) != n) return false;
            copied += n;
            if (progress && progress(total, copied, kCopyChunkFinished) != kCopyContinue) return false;
        }
        if (n < buffer.size()) return !std::ferror(in);
    }
}

}  // namespace

bool CopyFileWithProgress(const std::string& from, const std::string& to, bool failIfExists,
                          const CopyProgressRoutine& progress) {
    File in(std::fopen(from.c_str(), "rb"));
    if (!in) return false;
    struct stat st {};
    if (::fstat(::fileno(in.get()), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const auto total = static_cast<std::uint64_t>(st.st_size);
    return WriteFileBeside(to, failIfExists, [&](const std::string& temp) {
        File out(std::fopen(temp.c_str(), "wb"));
        return out && CopyChunks(in.get(), out.get(), total, progress) && std::fclose(out.release()) == 0;
    });
}

bool WriteFileBeside(const std::string& to, bool failIfExists,
                     const std::function<bool(const std::string& temp)>& write) {
    // Refused before any work; the rename at the end is what guarantees it.
    if (failIfExists && Exists(to)) return false;
    std::string temp;
    if (File made = CreateBeside(to, &temp); !made || std::fclose(made.release()) != 0) {
        if (!temp.empty()) std::remove(temp.c_str());
        return false;
    }
    if (write(temp) && SyncFile(temp) && PutInPlace(temp, to, failIfExists)) return true;
    std::remove(temp.c_str());
    return false;
}

void DeleteFileQuietly(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

}  // namespace finishing
