#pragma once
// Reading back a recorded WAVE file and measuring the sine in it.
#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

struct WaveFile {
    bool valid = false;
    std::string riff, wave, fmt, data;  // the four chunk ids
    std::uint32_t riffLength = 0, fmtLength = 0, dataLength = 0;
    std::uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0, extraSize = 0;
    std::uint32_t rate = 0, bytesPerSecond = 0;
    std::uint64_t fileSize = 0;
    std::vector<double> samples;  // first channel, scaled to [-1, 1]
};

WaveFile ReadWave(const std::string& path);

double Seconds(const WaveFile& wave);

// Frequency in [from, to] Hz with the most energy, in 1 Hz steps, over `count` samples at `first`.
double DominantFrequency(const WaveFile& wave, std::size_t first, std::size_t count, double from,
                         double to);

struct PhaseTrack {
    double largestStep = 0;    // largest phase change between neighbouring windows, radians
    double smallestLevel = 1;  // smallest amplitude of a window
    std::size_t windows = 0;
};
// Phase of `hz` in consecutive windows of exactly 40 periods from `first` on.
PhaseTrack TrackPhase(const WaveFile& wave, double hz, std::size_t first);

}  // namespace audiotest
