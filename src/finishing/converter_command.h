#pragma once
// The converter's command lines: the text written to the log, exactly as the converter's tables
// spell it (doubled blanks included), and the argv the converter is started from, built from
// the same pattern so that a path with blanks, quotes or '$' stays one argument.
// Thread contract: plain functions, any thread.
#include <cstdint>
#include <string>
#include <vector>

namespace finishing {

struct ConverterCommand {
    std::string text;               // for the log
    std::vector<std::string> argv;  // for the start
};

// Fills a pattern: blanks outside double quotes separate arguments, a quoted part is one argument
// without its quotes, and each "%s" or "%d" takes the next of `values` as it stands.
ConverterCommand FormatCommand(const std::string& pattern, const std::vector<std::string>& values);

// The converter in the program folder (which ends in '/').
std::string ConverterPath(const std::string& programFolder);

// Run on the video alone to learn its bit rate.
ConverterCommand ProbeCommand(const std::string& programFolder, const std::string& tempAviPath);

struct ConvertRequest {
    std::int32_t videoType = 0;  // 101-106
    bool withSound = false;
    std::string programFolder;
    std::string tempAviPath;
    std::string tempWavPath;
    std::int32_t bitRate = 0;  // bit/s, for "-b"
    std::string outputPath;
};
// The conversion line for the request; empty (no argv) for a type the converter does not make.
ConverterCommand ConvertCommand(const ConvertRequest& request);

// The "-b" value for a probed rate in kbit/s: the integer part of rate * 0.8 * 1000.
std::int32_t VideoBitRate(std::int32_t probedKbits);

}  // namespace finishing
