#pragma once
// Driving the desktop as a user would: xdotool, screenshots, a copy of the program folder.
#include <string>
#include <vector>

namespace testsupport {

// Runs a program to completion; returns its standard output (empty on failure).
std::string Run(const std::string& program, const std::vector<std::string>& args,
                int* exitCode = nullptr, int timeoutMs = 30000);

// Ids of visible windows whose name matches the regular expression (xdotool search).
std::vector<std::string> FindWindows(const std::string& namePattern);
// Waits until exactly `count` windows match; returns them.
std::vector<std::string> WaitForWindows(const std::string& namePattern, std::size_t count = 1,
                                        int timeoutMs = 10000);

// Gives the X screen another size through RandR (xrandr): with its output's mode when it has one
// of that size (as when the first size is given back), else the screen alone. True when the
// screen has that size afterwards.
bool ResizeScreen(int width, int height);
// A window's place on the screen (its client area), all 0 when it cannot be asked.
struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
};
WindowRect WindowGeometry(const std::string& window);

// Copies the built program folder (executable, libraries, Languages, skins, codes) into `dir`.
void CopyProgramFolder(const std::string& dir);

}  // namespace testsupport
