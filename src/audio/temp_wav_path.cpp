#include "audio/temp_wav_path.h"

#include "platform/core/paths.h"
#include "platform/sound/mmio.h"

#include <cstdio>
#include <ctime>
#include <random>

namespace audio {

std::string GetTempFolder() {
    std::string folder = platform::PrivateTempFolder();
    return folder.empty() ? platform::GetProgramFolder() : folder;
}

namespace {

bool CreateExclusively(const std::string& path) {
    using namespace platform;
    HMMIO file = mmioOpen(path.c_str(), MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE);
    if (!file) return false;
    mmioClose(file, 0);
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
