#include "audio/temp_wav_path.h"

#include "platform/core/paths.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace audio {

std::string GetTempFolder() {
    std::string folder = platform::PrivateTempFolder();
    return folder.empty() ? platform::GetProgramFolder() : folder;
}

namespace {

// An existing file is never taken over: it may be the sound of a recording still being
// finished, or one left for the next start.
bool CreateExclusively(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    std::remove(path.c_str());
    return true;
}

}  // namespace

std::string MakeTempWavPath(const std::string& folder) {
    std::string path = folder + "temp.wav";
    if (CreateExclusively(path)) return path;
    // Seeded once, so that every try in the same second draws a different number.
    std::minstd_rand generator(static_cast<unsigned>(std::time(nullptr)));
    std::uniform_int_distribution<int> draw(0, 32767);
    for (int i = 1; i < kTempNameTries; ++i) {
        path = folder + "temp" + std::to_string(draw(generator)) + ".wav";
        if (CreateExclusively(path)) return path;
    }
    return path;
}

}  // namespace audio
