#pragma once
// Folders and files of the running program and the user.
#include <cstddef>
#include <string>

namespace platform {

// Folder of the running executable with a trailing '/'. The buffer form fills at most
// `size` bytes (the recorder passes 512) and always terminates the text.
std::string GetProgramFolder();
void GetProgramFolder(char* buffer, std::size_t size);

// Private per-user temporary folder ($TMPDIR or /tmp, then "rivive-zuzuve-<uid>/"), created with
// mode 0700. Empty when it cannot be made safely (not a directory, a link, or not ours).
std::string PrivateTempFolder();

// The user's documents folder, without a trailing '/'.
std::string DocumentsFolder();

// Opens a file, a folder or an http(s) address with the desktop's handler ("open" verb).
// False when that fails.
bool ShellOpen(const std::string& path);

bool IsDirectory(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace platform
