#include "finishing/converter_output.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace finishing {

namespace {

// The text between the first `start` marker and the first `end` character after it, trimmed of
// blanks; none when either is missing.
std::optional<std::string_view> Between(std::string_view chunk, std::string_view start, char end) {
    const std::size_t at = chunk.find(start);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = chunk.substr(at + start.size());
    const std::size_t stop = rest.find(end);
    if (stop == std::string_view::npos) return std::nullopt;
    rest = rest.substr(0, stop);
    const std::size_t first = rest.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string_view();
    return rest.substr(first, rest.find_last_not_of(' ') - first + 1);
}

// Leading digits as an integer, as atoi reads them; no digits give 0.
std::int32_t LeadingInteger(std::string_view text) {
    const long long value = std::atoll(std::string(text).c_str());
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t BitrateFromChunk(std::string_view chunk, std::int32_t current) {
    const auto text = Between(chunk, "bitrate:", 'k');
    return text ? LeadingInteger(*text) : current;
}

std::optional<std::int32_t> SecondsFromChunk(std::string_view chunk) {
    const auto text = Between(chunk, "time=", 'b');
    if (!text) return std::nullopt;
    return LeadingInteger(*text);
}

std::optional<int> ProgressPercent(std::int32_t seconds, std::int32_t recordedSeconds) {
    if (recordedSeconds == 0) return std::nullopt;
    const double percent = static_cast<double>(seconds) / recordedSeconds * 100;
    if (percent >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (percent <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(percent);
}

}  // namespace finishing
