#include "audio/temp_wav_path.h"

namespace audio {

bool MakeTempWavPath(const std::string& folder, std::string& path) {
    return platform::MakeTempPath(folder, ".wav", path);
}

}  // namespace audio
