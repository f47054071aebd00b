#pragma once
// The command lines the recorder gives the converter: one or two "-i" inputs, "-ab", "-ar", "-y",
// "-b", "-vcodec", and the output file last. Without an output the inputs are only probed.
#include <optional>
#include <string>
#include <vector>

namespace transmux {

enum class OutputKind { Mp4, Wmv, Flv, Swf, Mpeg1, Mpeg2 };

struct Request {
    std::vector<std::string> inputs;   // the video, then the sound when given
    std::optional<long> audioBitrate;  // "-ab": below 1000 in kbit/s, else bit/s
    std::optional<long> sampleRate;    // "-ar": Hz
    bool overwrite = false;            // "-y"
    std::optional<long> videoBitrate;  // "-b": bit/s; 0 leaves the encoder's own rate
    std::string videoCodec;            // "-vcodec": mpeg1video or mpeg2video
    std::string output;                // empty: probe only
    OutputKind kind = OutputKind::Mp4;

    bool Probe() const { return output.empty(); }
    bool WithSound() const { return inputs.size() == 2; }
    // The sound's bit rate in bit/s.
    std::optional<long> AudioBitsPerSecond() const;
};

// `args` without the program name. False, with a one-line reason, for anything the recorder
// does not say.
bool ParseCommandLine(const std::vector<std::string>& args, Request* request, std::string* error);

}  // namespace transmux
