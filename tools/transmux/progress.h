#pragma once
// Turns ffmpeg's "-progress" blocks (key=value lines ending with "progress=...") into the lines
// the recorder reads: "time=S.SS bitrate=R.Rkbits/s", seconds of output done in decimal form.
#include <optional>
#include <string>

namespace transmux {

// A "key=value" line as ffmpeg's progress blocks and ffprobe's answers are made of (anything else
// is a message).
bool IsKeyValueLine(const std::string& line);

class ProgressReader {
public:
    // One line of ffmpeg's output, without its line end. Returns the line to print when it ends
    // a progress block.
    std::optional<std::string> Feed(const std::string& line);

private:
    double seconds_ = 0;
    double kbits_ = 0;
};

}  // namespace transmux
