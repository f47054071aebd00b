#include "platform/sound/mmio.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

struct MmioFile {
    std::FILE* stream = nullptr;
    char buffer[MMIO_DEFAULTBUFFER];
};

namespace {

bool WriteLe32(std::FILE* f, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    return std::fwrite(b, 1, 4, f) == 4;
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
    return 0;
}

long mmioWrite(HMMIO file, const char* data, long length) {
    if (!file || !data || length < 0) return -1;
    std::size_t n = std::fwrite(data, 1, static_cast<std::size_t>(length), file->stream);
    if (n == 0 && length > 0) return -1;
    return static_cast<long>(n);
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, std::uint32_t) {
    if (!file || !chunk) return MMIOERR_CANNOTWRITE;
    long end = std::ftell(file->stream);
    if (end < 0 || static_cast<std::uint32_t>(end) < chunk->dwDataOffset) return MMIOERR_CANNOTSEEK;
    std::uint32_t size = static_cast<std::uint32_t>(end) - chunk->dwDataOffset;
    if ((chunk->dwFlags & MMIO_DIRTY) && size != chunk->cksize) {
        if (std::fseek(file->stream, static_cast<long>(chunk->dwDataOffset) - 4, SEEK_SET) != 0)
            return MMIOERR_CANNOTSEEK;
        if (!WriteLe32(file->stream, size)) return MMIOERR_CANNOTWRITE;
        if (std::fseek(file->stream, end, SEEK_SET) != 0) return MMIOERR_CANNOTSEEK;
        chunk->cksize = size;
    }
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
