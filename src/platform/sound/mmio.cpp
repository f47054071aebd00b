#include "platform/sound/mmio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

struct MmioFile {
    // A chunk not yet ascended out of, and the size its header holds on disk.
    struct OpenChunk {
        std::uint32_t dataOffset;
        std::uint32_t sizeOnDisk;
    };
    std::FILE* stream = nullptr;
    char buffer[MMIO_DEFAULTBUFFER];
    std::vector<OpenChunk> open;
    std::chrono::milliseconds refreshInterval{0};
    std::chrono::steady_clock::time_point lastRefresh;
};

namespace {

bool WriteLe32(std::FILE* f, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    return std::fwrite(b, 1, 4, f) == 4;
}

// Writes `size` into the header of the chunk whose data starts at `dataOffset`, then returns to
// `end`.
MMRESULT PatchSize(std::FILE* f, std::uint32_t dataOffset, std::uint32_t size, long end) {
    if (std::fseek(f, static_cast<long>(dataOffset) - 4, SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
    if (!WriteLe32(f, size)) return MMIOERR_CANNOTWRITE;
    if (std::fseek(f, end, SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
    return 0;
}

}  // namespace

HMMIO mmioOpen(const char* path, std::uint32_t flags) {
    if (!path || !(flags & MMIO_WRITE)) return nullptr;
    int oflags = O_WRONLY | O_CLOEXEC | ((flags & MMIO_CREATE) ? O_CREAT : 0);
    int fd = ::open(path, oflags, 0600);
    if (fd < 0) return nullptr;
    // Truncate only once the lock is ours, so a file held elsewhere keeps its contents.
    if ((flags & MMIO_EXCLUSIVE) && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    if ((flags & MMIO_CREATE) && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, "wb");
    if (!stream) {
        ::close(fd);
        return nullptr;
    }
    auto* file = new MmioFile;
    file->stream = stream;
    if (flags & MMIO_ALLOCBUF) std::setvbuf(stream, file->buffer, _IOFBF, sizeof file->buffer);
    return file;
}

MMRESULT mmioCreateChunk(HMMIO file, MMCKINFO* chunk, std::uint32_t flags) {
    if (!file || !chunk) return MMIOERR_CANNOTWRITE;
    long at = std::ftell(file->stream);
    if (at < 0) return MMIOERR_CANNOTSEEK;
    bool form = flags & (MMIO_CREATERIFF | MMIO_CREATELIST);
    if (flags & MMIO_CREATERIFF) chunk->ckid = MakeFourCC('R', 'I', 'F', 'F');
    if (flags & MMIO_CREATELIST) chunk->ckid = MakeFourCC('L', 'I', 'S', 'T');
    chunk->dwDataOffset = static_cast<std::uint32_t>(at) + 8;
    chunk->dwFlags = MMIO_DIRTY;
    if (!WriteLe32(file->stream, chunk->ckid) || !WriteLe32(file->stream, chunk->cksize))
        return MMIOERR_CANNOTWRITE;
    if (form && !WriteLe32(file->stream, chunk->fccType)) return MMIOERR_CANNOTWRITE;
    file->open.push_back({chunk->dwDataOffset, chunk->cksize});
    return 0;
}

long mmioWrite(HMMIO file, const char* data, long length) {
    if (!file || !data || length < 0) return -1;
    std::size_t n = std::fwrite(data, 1, static_cast<std::size_t>(length), file->stream);
    if (n == 0 && length > 0) return -1;
    if (file->refreshInterval.count() > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (now - file->lastRefresh >= file->refreshInterval) {
            file->lastRefresh = now;
            // A refused update shows in the next write.
            mmioRefreshSizes(file);
        }
    }
    return static_cast<long>(n);
}

void mmioSetSizeRefresh(HMMIO file, std::uint32_t intervalMs) {
    if (!file) return;
    file->refreshInterval = std::chrono::milliseconds(intervalMs);
    file->lastRefresh = std::chrono::steady_clock::now();
}

MMRESULT mmioRefreshSizes(HMMIO file) {
    if (!file) return MMIOERR_CANNOTWRITE;
    long end = std::ftell(file->stream);
    if (end < 0) return MMIOERR_CANNOTSEEK;
    for (MmioFile::OpenChunk& chunk : file->open) {
        if (static_cast<std::uint32_t>(end) < chunk.dataOffset) continue;
        const std::uint32_t size = static_cast<std::uint32_t>(end) - chunk.dataOffset;
        if (size == chunk.sizeOnDisk) continue;
        if (MMRESULT rc = PatchSize(file->stream, chunk.dataOffset, size, end)) return rc;
        chunk.sizeOnDisk = size;
    }
    return std::fflush(file->stream) == 0 ? 0 : MMIOERR_CANNOTWRITE;
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, std::uint32_t) {
    if (!file || !chunk) return MMIOERR_CANNOTWRITE;
    long end = std::ftell(file->stream);
    if (end < 0 || static_cast<std::uint32_t>(end) < chunk->dwDataOffset) return MMIOERR_CANNOTSEEK;
    std::uint32_t size = static_cast<std::uint32_t>(end) - chunk->dwDataOffset;
    // The header holds cksize, unless a refresh has rewritten it since.
    std::uint32_t onDisk = chunk->cksize;
    auto open = std::find_if(file->open.begin(), file->open.end(), [&](const MmioFile::OpenChunk& c) {
        return c.dataOffset == chunk->dwDataOffset;
    });
    if (open != file->open.end()) {
        onDisk = open->sizeOnDisk;
        file->open.erase(open);
    }
    if ((chunk->dwFlags & MMIO_DIRTY) && size != onDisk) {
        if (MMRESULT rc = PatchSize(file->stream, chunk->dwDataOffset, size, end)) return rc;
    }
    if (chunk->dwFlags & MMIO_DIRTY) chunk->cksize = size;
    if (size & 1) {
        if (std::fputc(0, file->stream) == EOF) return MMIOERR_CANNOTWRITE;
    }
    chunk->dwFlags &= ~MMIO_DIRTY;
    return 0;
}

MMRESULT mmioClose(HMMIO file, std::uint32_t) {
    if (!file) return MMIOERR_CANNOTCLOSE;
    // Closing the stream also drops the lock on the descriptor.
    int rc = std::fclose(file->stream);
    delete file;
    return rc == 0 ? 0 : MMIOERR_CANNOTCLOSE;
}

}  // namespace platform
