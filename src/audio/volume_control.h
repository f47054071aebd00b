#pragma once
// The recording volume control: the desktop mixer's recording tab, else the desktop's sound
// settings.
// Thread contract: user-interface thread.
#include <functional>
#include <string>
#include <vector>

namespace audio {

struct ProgramLauncher {
    std::function<bool(const std::string& program)> exists;
    std::function<bool(const std::string& program, const std::vector<std::string>& args)> start;
};
// The platform's program search and detached start.
ProgramLauncher SystemLauncher();

// Starts the first program of the list that exists; false when none exists or it cannot start.
bool OpenVolumeControl(const ProgramLauncher& launcher);

}  // namespace audio
