#include "audio/sound_formats.h"

namespace audio {

platform::WAVEFORMATEX CaptureFormat{platform::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};

platform::WAVEFORMATEX MakePcmFormat(int bitsPerSample, int channels, int samplesPerSecond) {
    platform::WAVEFORMATEX f{};
    f.wFormatTag = platform::WAVE_FORMAT_PCM;
    f.wBitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    f.nChannels = static_cast<std::uint16_t>(channels);
    f.nSamplesPerSec = static_cast<std::uint32_t>(samplesPerSecond);
    f.nBlockAlign = static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    f.cbSize = 0;
    return f;
}

void BuildCaptureFormat(const settings::RecordSettings& settings) {
    CaptureFormat = MakePcmFormat(settings.Audio_bits_per_sample, settings.Audio_num_channels,
                                  settings.Audio_samples_per_seconds);
}

}  // namespace audio
