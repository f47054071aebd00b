#pragma once
// Naming of the temporary sound file: "temp.wav" in the temporary folder, else "temp<n>.wav" with
// n drawn from a generator seeded with the time, for a bounded number of tries.
#include <functional>
#include <string>

namespace audio {

// The private temporary folder, or the program folder when that cannot be had; ends with '/'.
std::string GetTempFolder();

constexpr int kTempNameTries = 100;

// A free name in `folder` (ending with '/'): the file could be created exclusively and was
// deleted again. When every try fails the last name tried is returned; creating it will fail.
std::string MakeTempWavPath(const std::string& folder);

}  // namespace audio
