#pragma once
// CSoundBase: holds the wave format record of a sound object (PCM, 1 channel, 22050 Hz, 16 bits
// unless told otherwise). Thread contract: none of its own; used by one thread at a time.
#include "platform/core/wave_format.h"

namespace audio {

class CSoundBase {
public:
    CSoundBase() = default;
    explicit CSoundBase(const platform::WAVEFORMATEX& format) : m_Format(format) {}
    virtual ~CSoundBase() = default;

    const platform::WAVEFORMATEX& Format() const { return m_Format; }

protected:
    platform::WAVEFORMATEX m_Format{platform::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
};

}  // namespace audio
