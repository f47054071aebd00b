#include "progress.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace transmux {

bool IsKeyValueLine(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    for (std::size_t i = 0; i < eq; ++i) {
        const unsigned char c = line[i];
        if (!std::islower(c) && !std::isdigit(c) && c != '_') return false;
    }
    return true;
}

std::optional<std::string> ProgressReader::Feed(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || !IsKeyValueLine(line)) return std::nullopt;
    const std::string key = line.substr(0, eq);
    const char* value = line.c_str() + eq + 1;
    while (*value == ' ') ++value;
    const bool known = std::isdigit(static_cast<unsigned char>(*value)) || *value == '-';
    if (key == "out_time_us" && known) {
        const double s = std::strtod(value, nullptr) / 1e6;
        if (s > seconds_) seconds_ = s;
    } else if (key == "bitrate" && known) {
        kbits_ = std::strtod(value, nullptr);
    } else if (key == "progress") {
        char text[96];
        std::snprintf(text, sizeof text, "time=%.2f bitrate=%.1fkbits/s", seconds_, kbits_);
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace transmux
