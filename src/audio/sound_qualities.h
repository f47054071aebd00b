#pragma once
// The PCM qualities the Audio page offers, in list order, each named by the capture-capability
// bit of the device that reports it; WaveInSelected stores that bit.
// Thread contract: immutable data; any thread.
#include <array>
#include <cstdint>

namespace audio {

struct SoundQuality {
    std::uint32_t bit;  // WAVE_FORMAT_1M08 ... WAVE_FORMAT_4S16
    const char* text;
    std::int32_t rate, channels, bits;
};

extern const std::array<SoundQuality, 12> kSoundQualities;

}  // namespace audio
