#pragma once
// The sound format record, laid out as the 18-byte WAVEFORMATEX (extra bytes may follow it).
#include <cstdint>

namespace platform {

#pragma pack(push, 1)
struct WAVEFORMATEX {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
constexpr std::uint16_t WAVE_FORMAT_ADPCM = 2;
constexpr std::uint16_t WAVE_FORMAT_IMA_ADPCM = 0x11;
constexpr std::uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;

}  // namespace platform
