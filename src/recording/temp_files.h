#pragma once
// The name of the temporary video file of the current recording.
// Thread contract: TempAviPath is written by the recording thread before it creates the file and
// read by the finishing stage after the recording's final message; access is guarded.
#include "platform/core/temp_names.h"

#include <string>

namespace recording {

using platform::ClaimTempName;
using platform::GetTempFolder;
using platform::MakeTempPath;

std::string TempAviPath();
void SetTempAviPath(const std::string& path);

// Sets TempAviPath to a free ".avi" name in GetTempFolder(); false when none could be found.
bool MakeTempAviPath();

}  // namespace recording
