#include "support/desktop.h"

#include <QProcess>
#include <QStringList>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <X11/Xlib.h>  // last: its macros clash with Qt names

namespace testsupport {

std::string Run(const std::string& program, const std::vector<std::string>& args, int* exitCode,
                int timeoutMs) {
    QProcess process;
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    process.start(QString::fromStdString(program), list);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        if (exitCode) *exitCode = -1;
        return {};
    }
    if (exitCode) *exitCode = process.exitCode();
    return process.readAllStandardOutput().toStdString();
}

std::vector<std::string> FindWindows(const std::string& namePattern) {
    std::istringstream out(Run("xdotool", {"search", "--onlyvisible", "--name", namePattern}));
    std::vector<std::string> ids;
    for (std::string id; std::getline(out, id);)
        if (!id.empty()) ids.push_back(id);
    return ids;
}

std::vector<std::string> WaitForWindows(const std::string& namePattern, std::size_t count,
                                        int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> ids;
    do {
        ids = FindWindows(namePattern);
        if (ids.size() == count) return ids;
        QThread::msleep(100);
    } while (std::chrono::steady_clock::now() < end);
    return ids;
}

bool ResizeScreen(int width, int height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string output;
    std::istringstream lines(Run("xrandr", {}));
    for (std::string line; std::getline(lines, line) && output.empty();)
        if (line.find(" connected") != std::string::npos) output = line.substr(0, line.find(' '));
    int code = -1;
    if (!output.empty()) Run("xrandr", {"--fb", size, "--output", output, "--mode", size}, &code);
    if (code != 0) Run("xrandr", {"--fb", size});
    return Run("xdpyinfo", {}).find(" " + size + " pixels") != std::string::npos;
}

WindowRect WindowGeometry(const std::string& window) {
    // Asked of the X server itself: xdotool counts a framed window's title bar twice.
    WindowRect r;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return r;
    const ::Window id = std::strtoul(window.c_str(), nullptr, 10);
    ::Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display, id, &root, &x, &y, &width, &height, &border, &depth) &&
        XTranslateCoordinates(display, id, root, 0, 0, &x, &y, &child))
        r = WindowRect{x, y, static_cast<int>(width), static_cast<int>(height)};
    XCloseDisplay(display);
    return r;
}

void CopyProgramFolder(const std::string& dir) {
    namespace fs = std::filesystem;
    fs::copy(RZ_BIN_DIR, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::error_code ec;
    fs::remove(fs::path(dir) / "Config.ini", ec);
    fs::remove_all(fs::path(dir) / "Diary", ec);
}

}  // namespace testsupport
