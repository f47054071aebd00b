#pragma once
// Naming of the temporary sound file: the scheme of the temporary video file with ".wav".
#include "platform/core/temp_names.h"

#include <string>

namespace audio {

using platform::GetTempFolder;

// Sets `path` to a free ".wav" name in `folder` (ending with '/'); false when the folder refused
// every name tried.
bool MakeTempWavPath(const std::string& folder, std::string& path);

}  // namespace audio
