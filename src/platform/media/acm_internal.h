#pragma once
// How the save encodes into a format of the compression manager (acm.cpp, avi_save.cpp).
#include "platform/core/wave_format.h"

#include <cstdint>

struct AVCodec;

namespace platform::media {

struct AcmEncoderSetup {
    const AVCodec* codec = nullptr;
    std::uint16_t tag = 0;
    int rate = 0, channels = 0, bits = 0, block_align = 0;
    int bit_rate = 0;  // MPEG Layer-3 only, bit/s
};

// False when the record is not one this layer can encode into.
bool AcmEncoderFor(const WAVEFORMATEX* format, std::uint32_t size, AcmEncoderSetup* setup);

}  // namespace platform::media
