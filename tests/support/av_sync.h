#pragma once
// Measuring picture against sound in a saved recording of the flash-and-beep window
// (flash_beep.cpp), by decoding it with ffmpeg: when each flash shows in the picture and when
// each beep begins in the sound.
#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

struct AvEvents {
    std::vector<double> flashes;  // seconds: time of the first frame of each flash
    std::vector<double> before;   // seconds: time of the frame before each of them
    std::vector<double> beeps;    // seconds: onset of each beep
    double headLevel = 0;         // RMS of the first 200 ms of sound (full scale 1)
    double soundSeconds = 0;
};

// Empty lists when the file cannot be decoded.
AvEvents MeasureFlashesAndBeeps(const std::string& path);

struct AvPair {
    double flash, beep;
    double before;  // the frame before the flash: a loaded frame loop may leave positions out
    double Offset() const { return flash - beep; }  // positive: the picture is late
    // How much longer than one frame at 30 fps the flash may have waited for a frame.
    double FrameGap() const { return std::max(0.0, flash - before - 1.0 / 30); }
};

// Each flash with the beep nearest to it, when one lies within `window` seconds.
std::vector<AvPair> PairFlashesWithBeeps(const AvEvents& events, double window = 0.5);

struct AvFit {
    double mean = 0, largest = 0;  // seconds; largest: the offset furthest from zero
    double driftPerMinute = 0;     // seconds of offset gained per minute of recording
};
AvFit Fit(const std::vector<AvPair>& pairs);

// One recording of the flash-and-beep window through the real recorder, run from a copy of its
// program folder in `folder`: started with F8, paused with F9 and resumed with F8 after `pauseSeconds`
// (when not 0) from `pauseAfter` seconds on, stopped with F10 after `seconds` of recording, saved automatically
// as AVI at 30 fps with 16-bit mono 22.05 kHz sound. Needs a desktop session with a sound server.
struct FlashBeepRun {
    std::string output;            // the saved AVI; empty when none appeared
    std::vector<int> lateFlashes;  // numbers of the flashes the stimulus drew over 10 ms late
    double startAfterFirstFlash = 0, pauseAfter = 0, pauseSeconds = 0;  // seconds
    std::string log;               // the recorder's log
};
FlashBeepRun RecordFlashBeep(const std::string& folder, int seconds, double pauseAfter = 0,
                             double pauseSeconds = 0);

// Pairs whose flash the stimulus drew late (by the run's list) are left out, as the delay is not
// the recorder's.
std::vector<AvPair> WithoutLateFlashes(const std::vector<AvPair>& pairs, const FlashBeepRun& run);

}  // namespace testsupport
