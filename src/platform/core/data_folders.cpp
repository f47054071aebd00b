#include "platform/core/data_folders.h"

#include "platform/core/paths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The per-user folders carry the installed name.
constexpr const char* kFolderName = RZ_PACKAGE_NAME "/";
constexpr mode_t kPerUserMode = 0700;  // what the XDG base folders ask for

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// An XDG base folder counts only when it is an absolute path; otherwise the home fallback.
std::string BaseFolder(const std::string& value, const std::string& home, const char* fallback) {
    if (!value.empty() && value.front() == '/') return WithSlash(value);
    return WithSlash(home) + fallback;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder() {
    std::string home = Variable("HOME");
    if (!home.empty()) return home;
    // getpwuid_r keeps this safe beside other threads.
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/tmp";
}

// mkdir -p; new folders get `mode`. A folder that cannot be made shows up when the file in it
// cannot be written, where the writer reports it.
void MakeFolders(const std::string& folder, mode_t mode) {
    if (IsDirectory(folder)) return;
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return;
    }
}

DataFolders CurrentFolders() {
    const std::string program = GetProgramFolder();
    const FolderEnvironment env{Variable("XDG_CONFIG_HOME"), Variable("XDG_STATE_HOME"),
                                HomeFolder()};
    return ChooseDataFolders(program, IsWritableFolder(program), env);
}

std::string Parent(const std::string& file) { return file.substr(0, file.rfind('/') + 1); }

}  // namespace

DataFolders ChooseDataFolders(const std::string& programFolder, bool programFolderWritable,
                              const FolderEnvironment& env) {
    if (programFolderWritable) {
        const std::string program = WithSlash(programFolder);
        return {program + "Config.ini", program + "Diary/", false};
    }
    return {BaseFolder(env.xdgConfigHome, env.home, ".config/") + kFolderName + "Config.ini",
            BaseFolder(env.xdgStateHome, env.home, ".local/state/") + kFolderName + "Diary/", true};
}

bool IsWritableFolder(const std::string& folder) {
    // access() also answers EROFS for root, whose permission bits are never in the way.
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ConfigFilePath() {
    const DataFolders folders = CurrentFolders();
    // The program folder exists already.
    if (folders.perUser) MakeFolders(Parent(folders.configFile), kPerUserMode);
    return folders.configFile;
}

std::string LogFolder() {
    const DataFolders folders = CurrentFolders();
    MakeFolders(folders.logFolder, folders.perUser ? kPerUserMode : 0755);
    return folders.logFolder;
}

}  // namespace platform
