#include "wave_analysis.h"

#include "support/test_support.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace audiotest {

namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint16_t Le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      static_cast<std::uint8_t>(b[at + 1]) << 8);
}

// Real and imaginary parts of `hz` over samples [first, first + count).
void Correlate(const WaveFile& w, double hz, std::size_t first, std::size_t count, double* re,
               double* im) {
    double step = 2 * std::numbers::pi * hz / w.rate;
    *re = *im = 0;
    for (std::size_t i = 0; i < count; ++i) {
        double a = step * static_cast<double>(first + i);
        *re += w.samples[first + i] * std::cos(a);
        *im += w.samples[first + i] * std::sin(a);
    }
}

}  // namespace

WaveFile ReadWave(const std::string& path) {
    WaveFile w;
    std::string b = testsupport::ReadFile(path);
    w.fileSize = b.size();
    if (b.size() < 46) return w;
    w.riff = b.substr(0, 4);
    w.riffLength = Le32(b, 4);
    w.wave = b.substr(8, 4);
    w.fmt = b.substr(12, 4);
    w.fmtLength = Le32(b, 16);
    w.tag = Le16(b, 20);
    w.channels = Le16(b, 22);
    w.rate = Le32(b, 24);
    w.bytesPerSecond = Le32(b, 28);
    w.blockAlign = Le16(b, 32);
    w.bits = Le16(b, 34);
    w.extraSize = Le16(b, 36);
    w.data = b.substr(38, 4);
    w.dataLength = Le32(b, 42);
    if (w.blockAlign == 0 || b.size() < 46 + std::size_t{w.dataLength}) return w;
    for (std::size_t at = 46; at + w.blockAlign <= 46 + std::size_t{w.dataLength}; at += w.blockAlign) {
        if (w.bits == 8)
            w.samples.push_back((static_cast<std::uint8_t>(b[at]) - 128) / 128.0);
        else
            w.samples.push_back(static_cast<std::int16_t>(Le16(b, at)) / 32768.0);
    }
    w.valid = true;
    return w;
}

double Seconds(const WaveFile& wave) {
    return wave.bytesPerSecond ? static_cast<double>(wave.dataLength) / wave.bytesPerSecond : 0;
}

double DominantFrequency(const WaveFile& wave, std::size_t first, std::size_t count, double from,
                         double to) {
    double best = 0, bestPower = -1;
    count = std::min(count, wave.samples.size() > first ? wave.samples.size() - first : 0);
    for (double hz = from; hz <= to; hz += 1) {
        double re, im;
        Correlate(wave, hz, first, count, &re, &im);
        if (re * re + im * im > bestPower) {
            bestPower = re * re + im * im;
            best = hz;
        }
    }
    return best;
}

PhaseTrack TrackPhase(const WaveFile& wave, double hz, std::size_t first) {
    PhaseTrack t;
    std::size_t window = static_cast<std::size_t>(std::lround(40.0 * wave.rate / hz));
    double previous = 0;
    for (std::size_t at = first; at + window <= wave.samples.size(); at += window) {
        double re, im;
        Correlate(wave, hz, at, window, &re, &im);
        double phase = std::atan2(im, re);
        double level = 2 * std::sqrt(re * re + im * im) / static_cast<double>(window);
        t.smallestLevel = std::min(t.smallestLevel, level);
        if (t.windows > 0) {
            double step = std::remainder(phase - previous, 2 * std::numbers::pi);
            t.largestStep = std::max(t.largestStep, std::fabs(step));
        }
        previous = phase;
        ++t.windows;
    }
    return t;
}

}  // namespace audiotest
