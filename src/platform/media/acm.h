#pragma once
// The audio compression manager as the recorder uses it: the largest format
// size, a destination format suggested for a PCM source restricted to a format tag, the details
// (name) of a tag, and the formats a PCM source can be converted to (the data behind the format
// chooser, whose dialog comes with the Audio page). The encoders behind these formats are
// libavcodec's; the save of avi_save.h encodes a PCM stream into any format suggested or listed
// here.
//
// Tags served:
//   1     "PCM"              8 or 16 bits, no extra bytes
//   2     "Microsoft ADPCM"  4 bits; extra: samples per block, 7 coefficient pairs (cbSize 32)
//   0x11  "IMA ADPCM"        4 bits; extra: samples per block (cbSize 2)
//   0x55  "MPEG Layer-3"     when libavcodec has an MP3 encoder; extra: MPEGLAYER3WAVEFORMAT
//                            fields (cbSize 12)
// ADPCM blocks follow the usual sizes: 256 bytes per channel up to 11025 Hz, 512 up to 22050 Hz,
// 1024 above (times the rate's multiple of 11025, capped at 4).
// A PCM source is served when it has 1 or 2 channels, 8 or 16 bits, a rate of 8000 to 48000 Hz
// and a consistent block align; MPEG Layer-3 also needs one of its rates (8000, 11025, 12000,
// 16000, 22050, 24000, 32000, 44100, 48000).
#include "platform/core/wave_format.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::media {

using MMRESULT = std::uint32_t;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;
constexpr MMRESULT ACMERR_CANCELED = 515;

constexpr std::uint32_t ACM_FORMATSUGGESTF_WFORMATTAG = 0x00010000;
constexpr std::uint32_t ACM_FORMATSUGGESTF_NCHANNELS = 0x00020000;
constexpr std::uint32_t ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x00040000;
constexpr std::uint32_t ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x00080000;

// acmMetrics(ACM_METRIC_MAX_SIZE_FORMAT): the largest format record (WAVEFORMATEX plus extra
// bytes) over every tag served.
MMRESULT AcmMetricsMaxSizeFormat(std::uint32_t* size);

// acmFormatSuggest: fills `dst` (`dst_size` bytes, at least the suggested format's size; the rest
// is zeroed) with a format that `src` (PCM) converts to. With ACM_FORMATSUGGESTF_WFORMATTAG the
// tag is taken from dst->wFormatTag (as the caller set it), likewise channels, rate and bits with
// their flags; otherwise they follow the source. Fails with ACMERR_NOTPOSSIBLE for a tag or a
// source it cannot serve, MMSYSERR_INVALPARAM for a missing record or a too small `dst_size`.
MMRESULT AcmFormatSuggest(const WAVEFORMATEX* src, WAVEFORMATEX* dst, std::uint32_t dst_size, std::uint32_t flags);

// acmFormatTagDetails(ACM_FORMATTAGDETAILSF_FORMATTAG).
struct AcmFormatTagDetails {
    std::uint32_t dwFormatTag = 0;
    std::uint32_t cbFormatSize = 0;  // largest format record of the tag
    std::string szFormatTag;         // "PCM", "Microsoft ADPCM", "IMA ADPCM", "MPEG Layer-3"
};
MMRESULT AcmFormatTagDetailsOf(std::uint32_t tag, AcmFormatTagDetails* details);

// The tags served, in the order above.
std::vector<std::uint16_t> AcmFormatTags();

// One format of the chooser: the record (WAVEFORMATEX plus extra bytes) and its tag's name.
struct AcmFormatChoice {
    std::vector<std::uint8_t> format;
    std::string tag_name;
    const WAVEFORMATEX& Wave() const { return *reinterpret_cast<const WAVEFORMATEX*>(format.data()); }
};
// Every format a PCM source converts to (ACM_FORMATENUMF_INPUT), grouped by tag: PCM at 8 and 16
// bits, both ADPCMs, MPEG Layer-3 at several bit rates; the source's rate, with its channel count
// and, for a stereo source, mono too. Empty when the source cannot be served.
std::vector<AcmFormatChoice> AcmFormatsFor(const WAVEFORMATEX& src);

// Whether the save can encode into this exact record (a format suggested or listed here, or one
// with the same fields): checks tag, channels, rate, bits, block align and extra bytes.
bool AcmCanEncode(const WAVEFORMATEX* format, std::uint32_t size);

// Size of a format record: 18 + cbSize (only 16 for a plain PCM record without cbSize would be
// shorter; callers here always pass whole WAVEFORMATEX records).
inline std::uint32_t WaveFormatSize(const WAVEFORMATEX& f) { return 18u + f.cbSize; }

}  // namespace platform::media
