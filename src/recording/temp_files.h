#pragma once
// The temporary folder and the names of the temporary recording files.
// Thread contract: TempAviPath is written by the recording thread before it creates the file and
// read by the finishing stage after the recording's final message; access is guarded.
#include <functional>
#include <string>

namespace recording {

// The private temporary folder, or the program folder when that cannot be had; ends with '/'.
std::string GetTempFolder();

std::string TempAviPath();
void SetTempAviPath(const std::string& path);

// Tries to claim `path` as a new file; false when the name is refused (it exists or cannot be
// created). A claimed file is removed again before returning.
bool ClaimTempName(const std::string& path);

// Chooses "temp<ext>" in `folder`, else "temp<n><ext>" with n a pseudo-random number 0-32767
// seeded from the time. Gives up (false) after 1000 refused names.
bool MakeTempPath(const std::string& folder, const std::string& ext, std::string& path,
                  const std::function<bool(const std::string&)>& claim = ClaimTempName);

// Sets TempAviPath to a free ".avi" name in GetTempFolder(); false when none could be found.
bool MakeTempAviPath();

}  // namespace recording
