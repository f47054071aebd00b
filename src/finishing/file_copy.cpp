#include "finishing/file_copy.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace finishing {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool CopyFileWithProgress(const std::string& from, const std::string& to, bool failIfExists,
                          const CopyProgressRoutine& progress) {
    File in(std::fopen(from.c_str(), "rb"));
    if (!in) return false;
    struct stat st {};
    if (::fstat(::fileno(in.get()), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const auto total = static_cast<std::uint64_t>(st.st_size);

    // "x": created exclusively, so an existing target (or a link in its place) is refused.
    File out(std::fopen(to.c_str(), failIfExists ? "wbx" : "wb"));
    if (!out) return false;
    auto fail = [&] {
        out.reset();
        std::remove(to.c_str());
        return false;
    };
    if (progress && progress(total, 0, kCopyStreamSwitch) != 0) return fail();

    std::vector<char> buffer(kCopyChunk);
    std::uint64_t copied = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (n > 0) {
            if (std::fwrite(buffer.data(), 1, n, out.get()) != n) return fail();
            copied += n;
            if (progress && progress(total, copied, kCopyChunkFinished) != 0) return fail();
        }
        if (n < buffer.size()) {
            if (std::ferror(in.get())) return fail();
            break;
        }
    }
    std::FILE* f = out.release();
    if (std::fclose(f) != 0) {
        std::remove(to.c_str());
        return false;
    }
    return true;
}

void DeleteFileQuietly(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

}  // namespace finishing
