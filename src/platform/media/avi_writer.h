#pragma once
// Writing AVI files with one Microsoft Video 1 stream, in the call sequence of the recording
// thread: open the file, create the stream, layer the compressed stream on it, set its format
// from the first frame's header, write frames at stream positions, release. Every call returns
// an AVIERR code (AVIERR_OK is 0) so the caller can log the failing step.
// Thread contract: one file and its streams are used by one thread at a time.
#include "platform/core/types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::media {

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}
constexpr std::uint32_t streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');
constexpr std::uint32_t streamtypeAUDIO = MakeFourCC('a', 'u', 'd', 's');

struct AVISTREAMINFO {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    Rect rcFrame;
};

constexpr std::uint32_t AVICOMPRESSF_KEYFRAMES = 0x04;
constexpr std::uint32_t AVICOMPRESSF_VALID = 0x08;

struct AVICOMPRESSOPTIONS {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwKeyFrameEvery = 0;
    std::uint32_t dwQuality = 0;  // 0-10000
    std::uint32_t dwBytesPerSecond = 0;
    std::uint32_t dwFlags = 0;
};

using AVIERR = long;
constexpr AVIERR AVIERR_OK = 0;

class AviFile;
class AviStream;

// 0x010A0000 or later: the version this layer offers.
std::uint32_t VideoForWindowsVersion();

AVIERR AVIFileOpen(AviFile** file, const std::string& path);
AVIERR AVIFileCreateStream(AviFile* file, AviStream** stream, const AVISTREAMINFO& info);
AVIERR AVIMakeCompressedStream(AviStream** compressed, AviStream* source,
                               const AVICOMPRESSOPTIONS& options);
// `format` is a BITMAPINFOHEADER of a packed 24-bit bottom-up frame (plus its colour table).
AVIERR AVIStreamSetFormat(AviStream* stream, long position, const void* format, std::size_t size);
// Writes one frame at `position`; positions skipped since the last write become empty entries.
// A position not beyond the last written one is refused.
AVIERR AVIStreamWrite(AviStream* stream, long position, long samples, const void* data,
                      std::size_t size, std::uint32_t flags);
void AVIStreamRelease(AviStream* stream);
// Completes and closes the file.
void AVIFileRelease(AviFile* file);

}  // namespace platform::media
