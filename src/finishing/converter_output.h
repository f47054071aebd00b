#pragma once
// Reading what the converter prints. Each chunk read from its output is examined on its own,
// exactly the bytes just read: a marker split between two chunks is not seen.
// Thread contract: plain functions, any thread.
#include <cstdint>
#include <optional>
#include <string_view>

namespace finishing {

constexpr std::size_t kConverterChunk = 1024;
// The probe's rate when it prints no "bitrate:" (kbit/s).
constexpr std::int32_t kUnknownBitrate = 500000;

// The probe's rate from one chunk: the integer before the first "k" after the first "bitrate:";
// `current` when the chunk lacks either marker.
std::int32_t BitrateFromChunk(std::string_view chunk, std::int32_t current);

// Seconds of output done from one chunk: the integer before the first "b" after the first
// "time=" (12.40 gives 12); none when the chunk lacks either marker.
std::optional<std::int32_t> SecondsFromChunk(std::string_view chunk);

// The bar position for `seconds` done of a recording of `recordedSeconds`: the integer part of
// seconds / recordedSeconds * 100 (the bar clamps it); none for a recording of length 0.
std::optional<int> ProgressPercent(std::int32_t seconds, std::int32_t recordedSeconds);

}  // namespace finishing
