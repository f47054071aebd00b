#pragma once
// Starting a desktop program that runs on its own (the recording mixer, the sound settings).
// Thread contract: any thread.
#include <string>
#include <vector>

namespace platform {

// Whether `program` is found on the search path (or is an executable path).
bool ProgramExists(const std::string& program);
// Starts `program` with `args` (an argv, no shell) detached from the recorder; false when it
// cannot be started.
bool StartProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace platform
