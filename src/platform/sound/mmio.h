#pragma once
// Buffered multimedia file I/O for RIFF files: open, create a chunk, write, ascend out of a chunk
// (its size fixed up and a pad byte added after an odd length), close. A file may also keep the
// sizes of its open chunks current on disk while it grows, so that a writer that dies leaves a
// file readers accept up to its last update.
// Thread contract: one handle is used by one thread at a time; different handles are independent.
#include <cstdint>

namespace platform {

using MMRESULT = std::uint32_t;
using FOURCC = std::uint32_t;

constexpr FOURCC MakeFourCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<unsigned char>(a)) |
           (static_cast<FOURCC>(static_cast<unsigned char>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<unsigned char>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<unsigned char>(d)) << 24);
}

struct MMCKINFO {
    FOURCC ckid = 0;
    std::uint32_t cksize = 0;
    FOURCC fccType = 0;
    std::uint32_t dwDataOffset = 0;
    std::uint32_t dwFlags = 0;
};

// Open flags.
constexpr std::uint32_t MMIO_WRITE = 0x00000001;
constexpr std::uint32_t MMIO_CREATE = 0x00001000;
constexpr std::uint32_t MMIO_EXCLUSIVE = 0x00000010;
constexpr std::uint32_t MMIO_ALLOCBUF = 0x00010000;
// Chunk flags.
constexpr std::uint32_t MMIO_CREATERIFF = 0x0020;
constexpr std::uint32_t MMIO_CREATELIST = 0x0040;
constexpr std::uint32_t MMIO_DIRTY = 0x10000000;

constexpr MMRESULT MMIOERR_CANNOTOPEN = 259;
constexpr MMRESULT MMIOERR_CANNOTCLOSE = 260;
constexpr MMRESULT MMIOERR_CANNOTWRITE = 263;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 264;
constexpr MMRESULT MMIOERR_CANNOTEXPAND = 265;

// Size of the buffer MMIO_ALLOCBUF gives a file.
constexpr std::uint32_t MMIO_DEFAULTBUFFER = 8192;

struct MmioFile;
using HMMIO = MmioFile*;

// Opens `path` for writing. MMIO_CREATE creates or truncates the file; MMIO_EXCLUSIVE refuses a
// file that another handle (of any process using these calls) holds exclusively, and holds it
// exclusively until closed. Null when the file cannot be opened.
HMMIO mmioOpen(const char* path, std::uint32_t flags);
// Writes a chunk header at the current position: id and size (for MMIO_CREATERIFF and
// MMIO_CREATELIST the id is set and the form type follows). Sets dwDataOffset and MMIO_DIRTY.
MMRESULT mmioCreateChunk(HMMIO file, MMCKINFO* chunk, std::uint32_t flags);
// Bytes written, or -1 when nothing could be written. A short count means the disk refused.
long mmioWrite(HMMIO file, const char* data, long length);
// Leaves a chunk made by mmioCreateChunk: when its data length differs from cksize the size field
// is rewritten, then a pad byte follows an odd length; the position ends after the chunk.
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, std::uint32_t flags);
// After each write, once `intervalMs` have passed since the last update (or since this call),
// runs mmioRefreshSizes. 0 (the default) turns it off.
void mmioSetSizeRefresh(HMMIO file, std::uint32_t intervalMs);
// Rewrites the size field of every chunk created and not yet ascended out of to the length
// written into it so far, and pushes everything written to the file. The position is kept.
MMRESULT mmioRefreshSizes(HMMIO file);
// Flushes and closes; the handle is gone even when the flush fails.
MMRESULT mmioClose(HMMIO file, std::uint32_t flags);

}  // namespace platform
