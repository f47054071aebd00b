#include "platform/core/paths.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string GetProgramFolder() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "./";
    path[n] = '\0';
    std::string folder(path);
    return folder.substr(0, folder.rfind('/') + 1);
}

void GetProgramFolder(char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    std::string folder = GetProgramFolder();
    std::size_t n = std::min(folder.size(), size - 1);
    std::memcpy(buffer, folder.data(), n);
    buffer[n] = '\0';
}

std::string PrivateTempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string root = (base && *base) ? base : "/tmp";
    if (root.back() != '/') root += '/';
    std::string folder = root + "rivive-zuzuve-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    if ((st.st_mode & 0077) != 0 && chmod(folder.c_str(), 0700) != 0) return {};
    return folder + "/";
}

std::string DocumentsFolder() {
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) {
        const char* home = std::getenv("HOME");
        return home ? std::string(home) + "/Documents" : std::string("/tmp");
    }
    return docs.toStdString();
}

bool ShellOpen(const std::string& path) {
    const QString text = QString::fromStdString(path);
    // Web addresses go to the browser as they stand; anything else is a local file or folder.
    const bool web = text.startsWith(QLatin1String("http://")) ||
                     text.startsWith(QLatin1String("https://"));
    return QDesktopServices::openUrl(web ? QUrl(text) : QUrl::fromLocalFile(text));
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace platform
