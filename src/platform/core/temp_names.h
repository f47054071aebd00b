#pragma once
// The temporary folder of the recording files and the names chosen in it: "temp<ext>", else
// "temp<n><ext>" with n a pseudo-random number 0-32767 seeded from the time.
#include <functional>
#include <string>

namespace platform {

// The private temporary folder, or the program folder when that cannot be had; ends with '/'.
std::string GetTempFolder();

// Tries to claim `path` as a new file; false when the name is refused (it exists or cannot be
// created). A claimed file is removed again before returning.
bool ClaimTempName(const std::string& path);

// Sets `path` to the first name of the scheme in `folder` that `claim` accepts. Gives up (false,
// `path` then names the last name refused) after 1000 refused names.
bool MakeTempPath(const std::string& folder, const std::string& ext, std::string& path,
                  const std::function<bool(const std::string&)>& claim = ClaimTempName);

}  // namespace platform
