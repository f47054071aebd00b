#pragma once
// What the converter asks of the ffmpeg and ffprobe tools: the argv of a probe and of a
// conversion, and the reading of their answers.
#include "request.h"

#include <optional>
#include <string>
#include <vector>

namespace transmux {

// What ffprobe tells of an input.
struct InputInfo {
    long bitRate = 0;          // bit/s, 0 when unknown
    double frameRate = 0;      // of the first video stream, 0 when none
};

std::vector<std::string> ProbeArgs(const std::string& input);
// ffprobe's "key=value" lines (format bit_rate, the first video stream's avg_frame_rate).
InputInfo ParseProbeOutput(const std::string& text);
// The line printed for a probed input: it contains "bitrate: N kb/s".
std::string BitrateLine(std::size_t index, const std::string& input, const InputInfo& info);

// MPEG-1 and MPEG-2 only carry a few frame rates: the first of 24, 25, 30, 50 and 60 not below
// the input's (60 above that).
int MpegFrameRate(double inputRate);

// The ffmpeg argv writing `target` in the format of the request's output, with progress blocks
// on standard output four times a second.
std::vector<std::string> ConvertArgs(const Request& request, const InputInfo& video, const std::string& target);

}  // namespace transmux
