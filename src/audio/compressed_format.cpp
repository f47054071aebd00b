#include "audio/compressed_format.h"

#include "audio/sound_formats.h"
#include "platform/core/message_box.h"
#include "platform/media/acm.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace audio {

platform::WAVEFORMATEX* CompressedFormat = nullptr;
std::uint32_t CompressedFormatSize = 0;
std::int32_t HaveCompressedFormat = 1;

CompressionCalls SystemCompressionCalls() {
    CompressionCalls calls;
    calls.maxFormatSize = [](std::uint32_t* size) { return platform::media::AcmMetricsMaxSizeFormat(size); };
    calls.allocate = [](std::size_t size) { return std::calloc(1, size); };
    calls.suggest = [](const platform::WAVEFORMATEX* src, platform::WAVEFORMATEX* dst,
                       std::uint32_t dstSize, std::uint32_t flags) {
        return platform::media::AcmFormatSuggest(src, dst, dstSize, flags);
    };
    return calls;
}

void AllocCompressedFormat() { AllocCompressedFormat(SystemCompressionCalls()); }

void AllocCompressedFormat(const CompressionCalls& calls) {
    if (CompressedFormat) return;
    char text[64];
    if (std::uint32_t result = calls.maxFormatSize(&CompressedFormatSize)) {
        std::snprintf(text, sizeof text, "Metrics failed mmresult=%u!", result);
        platform::MessageBox(0, text, "Note", platform::MB_ICONWARNING);
        return;
    }
    // Never smaller than the base record the rest of the recorder reads.
    std::size_t size = std::max<std::size_t>(CompressedFormatSize, sizeof(platform::WAVEFORMATEX));
    CompressedFormat = static_cast<platform::WAVEFORMATEX*>(calls.allocate(size));
    if (!CompressedFormat) {
        std::snprintf(text, sizeof text, "GlobalAllocPtr(%lu) failed!",
                      static_cast<unsigned long>(CompressedFormatSize));
        platform::MessageBox(0, text, "Note", platform::MB_ICONWARNING);
    }
}

void SuggestCompressedFormat(const settings::RecordSettings& settings) {
    SuggestCompressedFormat(settings, SystemCompressionCalls());
}

void SuggestCompressedFormat(const settings::RecordSettings& settings, const CompressionCalls& calls) {
    HaveCompressedFormat = 1;
    AllocCompressedFormat(calls);
    if (!CompressedFormat) {
        HaveCompressedFormat = 0;
        return;
    }
    BuildCaptureFormat(settings);
    auto ask = [&] {
        return calls.suggest(&CaptureFormat, CompressedFormat, CompressedFormatSize,
                             platform::media::ACM_FORMATSUGGESTF_WFORMATTAG) == 0;
    };
    if (ask()) return;
    for (std::uint16_t tag : {platform::WAVE_FORMAT_ADPCM, platform::WAVE_FORMAT_IMA_ADPCM,
                              platform::WAVE_FORMAT_PCM}) {
        CompressedFormat->wFormatTag = tag;
        if (ask()) return;
    }
    HaveCompressedFormat = 0;
}

void ForgetCompressedFormat() {
    std::free(CompressedFormat);
    CompressedFormat = nullptr;
    CompressedFormatSize = 0;
    HaveCompressedFormat = 1;
}

}  // namespace audio
