// Picture against sound over a long recording: the recorder records the flash-and-beep window
// (a flash and a beep every 2 s) for the given number of seconds (default 600); the saved AVI is
// decoded with ffmpeg and every flash is paired with its beep. Prints the offset at the start
// (mean of the first five pairs), at the end (mean of the last five) and the drift per minute
// (slope of a straight line through all offsets). Run inside scripts/session.
//   build/bench/av_sync [SECONDS]
#include "support/av_sync.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    char folder[] = "/tmp/rz-av-sync-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    testsupport::FlashBeepRun run = testsupport::RecordFlashBeep(std::string(folder) + "/", seconds);
    if (run.output.empty()) {
        std::printf("no saved recording\n%s\n", run.log.c_str());
        return 1;
    }
    testsupport::AvEvents events = testsupport::MeasureFlashesAndBeeps(run.output);
    auto pairs = testsupport::WithoutLateFlashes(testsupport::PairFlashesWithBeeps(events), run);
    if (pairs.size() < 10) {
        std::printf("only %zu flashes paired with beeps\n", pairs.size());
        return 1;
    }
    const std::size_t edge = 5;
    auto first = testsupport::Fit({pairs.begin(), pairs.begin() + edge});
    auto last = testsupport::Fit({pairs.end() - edge, pairs.end()});
    auto all = testsupport::Fit(pairs);
    std::printf("recording of %d s at 30 fps: %zu flashes paired with beeps (%zu drawn late, left out)\n", seconds,
                pairs.size(), run.lateFlashes.size());
    std::printf("offset at the start: %+.1f ms\n", first.mean * 1000);
    std::printf("offset at the end:   %+.1f ms\n", last.mean * 1000);
    std::printf("mean offset %+.1f ms, largest %+.1f ms\n", all.mean * 1000, all.largest * 1000);
    std::printf("drift: %+.2f ms per minute (picture against sound)\n", all.driftPerMinute * 1000);
    std::filesystem::remove_all(folder);
    return 0;
}
