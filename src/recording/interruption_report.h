#pragma once
// What the user is told when a recording is interrupted: why, in plain words, and where what was
// recorded is kept.
// Thread contract: plain functions; the catalogue may be read from any thread.
#include <string>
#include <vector>

namespace recording {

// The ("MsgBox", key) of an interruption reason (InterruptReason).
const char* InterruptionKey(int reason);

// The reason's text; then, when files were kept, ("MsgBox", "RecordingKept") and one path a line.
std::string InterruptionText(int reason, const std::vector<std::string>& keptFiles);

}  // namespace recording
