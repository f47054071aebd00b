#include "audio/sound_qualities.h"

#include "platform/sound/wave_in.h"

namespace audio {

using namespace platform;

const std::array<SoundQuality, 12> kSoundQualities{{
    {WAVE_FORMAT_1M08, "11.025 kHz, mono, 8-bit", 11025, 1, 8},
    {WAVE_FORMAT_1M16, "11.025 kHz, mono, 16-bit", 11025, 1, 16},
    {WAVE_FORMAT_1S08, "11.025 kHz, stereo, 8-bit", 11025, 2, 8},
    {WAVE_FORMAT_1S16, "11.025 kHz, stereo, 16-bit", 11025, 2, 16},
    {WAVE_FORMAT_2M08, "22.05 kHz, mono, 8-bit", 22050, 1, 8},
    {WAVE_FORMAT_2M16, "22.05 kHz, mono, 16-bit", 22050, 1, 16},
    {WAVE_FORMAT_2S08, "22.05 kHz, stereo, 8-bit", 22050, 2, 8},
    {WAVE_FORMAT_2S16, "22.05 kHz, stereo, 16-bit", 22050, 2, 16},
    {WAVE_FORMAT_4M08, "44.1 kHz, mono, 8-bit", 44100, 1, 8},
    {WAVE_FORMAT_4M16, "44.1 kHz, mono, 16-bit", 44100, 1, 16},
    {WAVE_FORMAT_4S08, "44.1 kHz, stereo, 8-bit", 44100, 2, 8},
    {WAVE_FORMAT_4S16, "44.1 kHz, stereo, 16-bit", 44100, 2, 16},
}};

}  // namespace audio
