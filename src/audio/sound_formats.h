#pragma once
// The process-wide sound formats: the PCM capture format built from the settings, and (see
// compressed_format.h) the compressed format used when sound and video are joined.
// Thread contract: CaptureFormat is rebuilt by the recording thread when a sound file is opened
// and read by the user-interface thread only while no recording runs.
#include "platform/core/wave_format.h"
#include "settings/record_settings.h"

namespace audio {

extern platform::WAVEFORMATEX CaptureFormat;

// PCM: block align = bits / 8 * channels, bytes per second = block align * rate, no extra bytes.
platform::WAVEFORMATEX MakePcmFormat(int bitsPerSample, int channels, int samplesPerSecond);
// CaptureFormat from Audio_bits_per_sample, Audio_num_channels and Audio_samples_per_seconds.
void BuildCaptureFormat(const settings::RecordSettings& settings);

}  // namespace audio
