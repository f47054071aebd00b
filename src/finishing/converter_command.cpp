#include "finishing/converter_command.h"

#include "settings/record_settings.h"

#include <algorithm>
#include <limits>

namespace finishing {

namespace {

constexpr const char* kProbe = "\"%scodes/Transmux\" -i \"%s\"";

// Lines with sound take (folder, video, sound, rate, output); lines without take (folder, video,
// rate, output).
constexpr const char* kFlvWithSound = "\"%scodes/Transmux\" -i \"%s\" -i \"%s\" -ab 56 -ar 22050 -y -b %d \"%s\"";
constexpr const char* kMp4WithSound = "\"%scodes/Transmux\" -i \"%s\" -i \"%s\" -y -b %d \"%s\"";
constexpr const char* kMpeg1WithSound = "\"%scodes/Transmux\" -i \"%s\" -i \"%s\" -y -b %d -vcodec mpeg1video \"%s\"";
constexpr const char* kWmvWithSound = "\"%scodes/Transmux\" -i \"%s\" -i \"%s\"  -ab 56 -ar 22050 -y -b %d \"%s\"";
constexpr const char* kMpeg2WithSound = "\"%scodes/Transmux\" -i \"%s\" -i \"%s\" -y -b %d -vcodec mpeg2video \"%s\"";

constexpr const char* kFlvSilent = "\"%scodes/Transmux\" -i \"%s\" -y -b %d \"%s\"";
constexpr const char* kMpeg1Silent = "\"%scodes/Transmux\" -i \"%s\"  -y -b %d -vcodec mpeg1video \"%s\"";
constexpr const char* kWmvSilent = "\"%scodes/Transmux\" -i \"%s\"  -y -b %d \"%s\"";
constexpr const char* kMpeg2Silent = "\"%scodes/Transmux\" -i \"%s\"  -y -b %d -vcodec mpeg2video \"%s\"";
constexpr const char* kSwfSilent = "\"%scodes/Transmux\" -i \"%s\"  -y -b %d  \"%s\"";

const char* PatternFor(std::int32_t videoType, bool withSound) {
    switch (videoType) {
        case settings::kVideoFlv: return withSound ? kFlvWithSound : kFlvSilent;
        case settings::kVideoMp4: return withSound ? kMp4WithSound : kFlvSilent;
        case settings::kVideoMpeg1: return withSound ? kMpeg1WithSound : kMpeg1Silent;
        case settings::kVideoWmv: return withSound ? kWmvWithSound : kWmvSilent;
        case settings::kVideoMpeg2: return withSound ? kMpeg2WithSound : kMpeg2Silent;
        case settings::kVideoSwf: return withSound ? kFlvWithSound : kSwfSilent;
        default: return nullptr;
    }
}

}  // namespace

ConverterCommand FormatCommand(const std::string& pattern, const std::vector<std::string>& values) {
    ConverterCommand command;
    std::size_t next = 0;
    std::string argument;
    bool inArgument = false, quoted = false;
    auto endArgument = [&] {
        if (inArgument) command.argv.push_back(argument);
        argument.clear();
        inArgument = false;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
            const std::string& value = next < values.size() ? values[next] : std::string();
            ++next;
            command.text += value;
            argument += value;
            inArgument = true;
            ++i;
            continue;
        }
        command.text += c;
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (c == ' ' && !quoted) {
            endArgument();
        } else {
            argument += c;
            inArgument = true;
        }
    }
    endArgument();
    return command;
}

std::string ConverterPath(const std::string& programFolder) { return programFolder + "codes/Transmux"; }

ConverterCommand ProbeCommand(const std::string& programFolder, const std::string& tempAviPath) {
    return FormatCommand(kProbe, {programFolder, tempAviPath});
}

ConverterCommand ConvertCommand(const ConvertRequest& r) {
    const char* pattern = PatternFor(r.videoType, r.withSound);
    if (!pattern) return {};
    const std::string rate = std::to_string(r.bitRate);
    if (r.withSound) return FormatCommand(pattern, {r.programFolder, r.tempAviPath, r.tempWavPath, rate, r.outputPath});
    return FormatCommand(pattern, {r.programFolder, r.tempAviPath, rate, r.outputPath});
}

std::int32_t VideoBitRate(std::int32_t probedKbits) {
    const double rate = static_cast<double>(probedKbits) * 0.8 * 1000;
    return static_cast<std::int32_t>(std::clamp(rate, 0.0, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

}  // namespace finishing
