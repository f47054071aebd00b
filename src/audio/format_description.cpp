#include "audio/format_description.h"

#include "platform/media/acm.h"

namespace audio {

std::string FormatDetails(const platform::WAVEFORMATEX& f) {
    std::string text = std::to_string(f.nSamplesPerSec) + " Hz, ";
    if (f.wBitsPerSample > 0) text += std::to_string(f.wBitsPerSample) + " Bit, ";
    text += f.nChannels == 1 ? "Mono" : "Stereo";
    text += "      ";
    text += std::to_string(f.nAvgBytesPerSec) + " Bytes/sec";
    return text;
}

bool DescribeFormat(const platform::WAVEFORMATEX& format, std::string& tagName, std::string& details) {
    platform::media::AcmFormatTagDetails tag;
    if (platform::media::AcmFormatTagDetailsOf(format.wFormatTag, &tag) != platform::media::MMSYSERR_NOERROR)
        return false;
    tagName = tag.szFormatTag;
    details = FormatDetails(format);
    return true;
}

}  // namespace audio
