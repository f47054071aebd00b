#include "audio/volume_control.h"

#include "platform/core/launch.h"

namespace audio {

namespace {

struct Command {
    const char* program;
    std::vector<std::string> args;
};

// The mixer first (its fourth tab lists the recording streams), then general sound settings.
const std::vector<Command>& VolumeCommands() {
    static const std::vector<Command> commands{
        {"pavucontrol", {"--tab=4"}},
        {"pavucontrol-qt", {"--tab=4"}},
        {"gnome-control-center", {"sound"}},
        {"systemsettings", {"kcm_pulseaudio"}},
        {"mate-volume-control", {}},
    };
    return commands;
}

}  // namespace

ProgramLauncher SystemLauncher() {
    return {platform::ProgramExists, platform::StartProgram};
}

bool OpenVolumeControl(const ProgramLauncher& launcher) {
    for (const Command& c : VolumeCommands())
        if (launcher.exists(c.program)) return launcher.start(c.program, c.args);
    return false;
}

}  // namespace audio
