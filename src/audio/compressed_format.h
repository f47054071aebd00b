#pragma once
// The compressed sound format used when sound and video are joined: one process-wide record of
// CompressedFormatSize bytes (a WAVEFORMATEX and its extra bytes), allocated once and kept for the
// life of the process, and whether it holds a usable format.
// Thread contract: user-interface thread only (start-up, the Audio page, the join).
#include "platform/core/wave_format.h"
#include "settings/record_settings.h"

#include <cstdint>
#include <functional>

namespace audio {

extern platform::WAVEFORMATEX* CompressedFormat;  // null until allocated
extern std::uint32_t CompressedFormatSize;
extern std::int32_t HaveCompressedFormat;        // 1 at start

// Allocates CompressedFormat (zero-filled) of the largest format size the compression manager
// reports; shows "Metrics failed mmresult=%u!" or "GlobalAllocPtr(%lu) failed!" when it cannot.
void AllocCompressedFormat();

// After the settings have filled CompressedFormat: asks for a format the capture format converts
// to, first with the tag loaded from the settings, then 2 (Microsoft ADPCM), 0x11 (IMA ADPCM),
// 1 (PCM); HaveCompressedFormat is 0 when every try fails.
void SuggestCompressedFormat(const settings::RecordSettings& settings);

// The compression manager calls behind the two operations, replaceable for tests.
struct CompressionCalls {
    std::function<std::uint32_t(std::uint32_t* size)> maxFormatSize;
    std::function<void*(std::size_t size)> allocate;  // zero-filled, kept for the process
    std::function<std::uint32_t(const platform::WAVEFORMATEX* src, platform::WAVEFORMATEX* dst,
                                std::uint32_t dstSize, std::uint32_t flags)> suggest;
};
CompressionCalls SystemCompressionCalls();
void AllocCompressedFormat(const CompressionCalls& calls);
void SuggestCompressedFormat(const settings::RecordSettings& settings, const CompressionCalls& calls);

// Forgets the record (tests only; the recorder keeps it for the life of the process).
void ForgetCompressedFormat();

}  // namespace audio
