#pragma once
// How the Audio page and the format chooser name a sound format: the tag's name from the
// compression manager and a details line such as "22050 Hz, 4 Bit, Mono      11100 Bytes/sec".
// Thread contract: plain functions; any thread.
#include "platform/core/wave_format.h"

#include <string>

namespace audio {

// "%d Hz, " then "%d Bit, " when bits per sample is above 0, then "Mono" or "Stereo", six
// blanks and "%d Bytes/sec".
std::string FormatDetails(const platform::WAVEFORMATEX& format);

// The tag name and the details line; false when the compression manager does not know the tag.
bool DescribeFormat(const platform::WAVEFORMATEX& format, std::string& tagName, std::string& details);

}  // namespace audio
