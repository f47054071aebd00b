#pragma once
// Where the recorder keeps Config.ini and its log folder "Diary/". Beside the executable while
// the program folder is writable (the build folder, a copy unpacked by hand); otherwise, as for an
// installed copy, in the user's XDG folders:
//   $XDG_CONFIG_HOME/rivive-zuzuve/Config.ini   (else ~/.config/...)
//   $XDG_STATE_HOME/rivive-zuzuve/Diary/        (else ~/.local/state/...)
// Every reader of these two places asks here. Safe to call from any thread.
#include <string>

namespace platform {

// Full path of Config.ini; its folder is created (mode 0700) when it is a per-user one.
std::string ConfigFilePath();
// The log folder with a trailing '/', created when missing.
std::string LogFolder();

// The decision itself, free of the process environment, for the cases the calls above meet.
struct FolderEnvironment {
    std::string xdgConfigHome;  // values of the variables; empty when unset
    std::string xdgStateHome;
    std::string home;           // the user's home folder
};
struct DataFolders {
    std::string configFile;
    std::string logFolder;  // trailing '/'
    bool perUser = false;   // the XDG folders, not the program folder
};
DataFolders ChooseDataFolders(const std::string& programFolder, bool programFolderWritable,
                              const FolderEnvironment& env);

// Whether the process may create files in `folder` (false on a read-only file system, also
// for root).
bool IsWritableFolder(const std::string& folder);

}  // namespace platform
