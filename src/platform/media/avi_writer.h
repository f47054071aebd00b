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
    // Filled by AVIStreamInfo (avi_reader.h); ignored when a stream is created.
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;       // positions: video frames, or sound blocks
    std::uint32_t dwSampleSize = 0;   // 0 for video, the block align for sound
};

constexpr std::uint32_t AVICOMPRESSF_INTERLEAVE = 0x01;
constexpr std::uint32_t AVICOMPRESSF_DATARATE = 0x02;
constexpr std::uint32_t AVICOMPRESSF_KEYFRAMES = 0x04;
constexpr std::uint32_t AVICOMPRESSF_VALID = 0x08;

struct AVICOMPRESSOPTIONS {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwKeyFrameEvery = 0;
    std::uint32_t dwQuality = 0;  // 0-10000
    std::uint32_t dwBytesPerSecond = 0;
    std::uint32_t dwFlags = 0;
    // Used by the save of the join (avi_save.h): the target format of a sound stream (a
    // WAVEFORMATEX with its extra bytes), owned by the record and freed by AVISaveOptionsFree.
    void* lpFormat = nullptr;
    std::uint32_t cbFormat = 0;
    void* lpParms = nullptr;
    std::uint32_t cbParms = 0;
    std::uint32_t dwInterleaveEvery = 0;
};

using AVIERR = long;
constexpr AVIERR AVIERR_OK = 0;
// The failure codes of the AVIFile interface (severity error, facility ITF, 0x4000 + n).
constexpr AVIERR MakeAviErr(int n) { return static_cast<std::int32_t>(0x80040000u | (0x4000u + n)); }
constexpr AVIERR AVIERR_UNSUPPORTED = MakeAviErr(101);
constexpr AVIERR AVIERR_BADFORMAT = MakeAviErr(102);
constexpr AVIERR AVIERR_MEMORY = MakeAviErr(103);
constexpr AVIERR AVIERR_INTERNAL = MakeAviErr(104);
constexpr AVIERR AVIERR_BADFLAGS = MakeAviErr(105);
constexpr AVIERR AVIERR_BADPARAM = MakeAviErr(106);
constexpr AVIERR AVIERR_BADSIZE = MakeAviErr(107);
constexpr AVIERR AVIERR_BADHANDLE = MakeAviErr(108);
constexpr AVIERR AVIERR_FILEREAD = MakeAviErr(109);
constexpr AVIERR AVIERR_FILEWRITE = MakeAviErr(110);
constexpr AVIERR AVIERR_FILEOPEN = MakeAviErr(111);
constexpr AVIERR AVIERR_COMPRESSOR = MakeAviErr(112);
constexpr AVIERR AVIERR_NOCOMPRESSOR = MakeAviErr(113);
constexpr AVIERR AVIERR_READONLY = MakeAviErr(114);
constexpr AVIERR AVIERR_NODATA = MakeAviErr(115);
constexpr AVIERR AVIERR_BUFFERTOOSMALL = MakeAviErr(116);
constexpr AVIERR AVIERR_CANTCOMPRESS = MakeAviErr(117);
constexpr AVIERR AVIERR_USERABORT = MakeAviErr(198);
constexpr AVIERR AVIERR_ERROR = MakeAviErr(199);

// AVIStreamWrite flag: the sample is a key frame (ignored by the compressed stream, which decides).
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;
// Default compressor quality (dwQuality 0xFFFFFFFF) of the Microsoft Video 1 compressor.
constexpr std::uint32_t kDefaultVideoQuality = 7500;

class AviFile;
class AviStream;

// 0x010A0000 or later: the version this layer offers.
std::uint32_t VideoForWindowsVersion();
// Library initialisation and shut-down: kept for the call sequence, nothing to do here.
void AVIFileInit();
void AVIFileExit();

// Creates (or truncates) `path` for writing; an unwritable path fails here (AVIERR_FILEOPEN).
// The file is an AVI file whatever the name's extension; beyond 1 GiB it continues as OpenDML.
AVIERR AVIFileOpen(AviFile** file, const std::string& path);
AVIERR AVIFileCreateStream(AviFile* file, AviStream** stream, const AVISTREAMINFO& info);
// Handler "MSVC" (or 0, which means the same) gives our Microsoft Video 1 compressor with the
// options' quality (0xFFFFFFFF: kDefaultVideoQuality) and, with AVICOMPRESSF_KEYFRAMES, a key
// frame every dwKeyFrameEvery frames written (else only the first). Other handlers:
// AVIERR_NOCOMPRESSOR.
AVIERR AVIMakeCompressedStream(AviStream** compressed, AviStream* source,
                               const AVICOMPRESSOPTIONS& options);
// `format` is a BITMAPINFOHEADER of a packed 24-bit bottom-up frame (plus its colour table).
AVIERR AVIStreamSetFormat(AviStream* stream, long position, const void* format, std::size_t size);
// The stream's frame is the format's size padded to multiples of 4 (msvideo1_encoder.h).
// Writes one frame at `position`; positions skipped since the last write become empty entries.
// A position not beyond the last written one is refused (AVIERR_BADPARAM); a data size below
// the format's image size is AVIERR_BADSIZE; a failed write (full disk) is AVIERR_FILEWRITE.
AVIERR AVIStreamWrite(AviStream* stream, long position, long samples, const void* data,
                      std::size_t size, std::uint32_t flags);
// The system error (errno: ENOSPC for a full disk) behind the first failed write of the file;
// 0 when no write failed or the failure had no system error.
int AVIFileWriteError(AviFile* file);
// Streams and files may be released in any order: the file is completed by AVIFileRelease and
// freed once the file and all its streams are released; later writes to its streams fail.
// A file completed without frames is a valid AVI file with an empty video stream.
void AVIStreamRelease(AviStream* stream);
// Completes and closes the file.
void AVIFileRelease(AviFile* file);

}  // namespace platform::media
