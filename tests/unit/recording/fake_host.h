#pragma once
// A stand-in for the main window, the Select Area page and the status window.
#include "recording/recording_host.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace rectest {

using namespace recording;

class FakeHost : public RecordingHost {
public:
    settings::RecordSettings settings;
    std::atomic<std::int32_t> isRecording{0}, hookInstalled{0}, cancelConvert{0};
    std::map<int, std::string> edits{{kIdEditLeft, "100"}, {kIdEditTop, "100"},
                                     {kIdEditWidth, "300"}, {kIdEditHeight, "200"}};
    std::map<int, bool> buttons, areaControls;
    std::vector<int> areaOrder;
    std::vector<std::string> events;
    int screenWidth = 1920, screenHeight = 1080, waveIn = 1, hookResult = 7;
    int statusX = 0, statusY = 0, statusW = 0, statusH = 0;
    bool statusPaused = false, statusVisible = false, timerRunning = false;
    std::string statusBitmap;
    std::int64_t elapsed = 0;

    platform::WindowHandle mainWindow = 42;
    platform::WindowHandle MainWindow() override { return mainWindow; }
    settings::RecordSettings& Settings() override { return settings; }
    std::atomic<std::int32_t>& IsRecording() override { return isRecording; }
    std::atomic<std::int32_t>& HookInstalled() override { return hookInstalled; }
    std::atomic<std::int32_t>& CancelConvert() override { return cancelConvert; }
    void InvalidateMain(bool erase) override { events.push_back(erase ? "invalidate-erase" : "invalidate"); }
    void MinimizeMain() override { events.push_back("minimize"); }
    void ShowMainForeground() override { events.push_back("show-main"); }
    void RestoreMainToTop() override { events.push_back("restore-main"); }
    void EnableButton(int id, bool enable) override { buttons[id] = enable; }
    int ScreenWidth() override { return screenWidth; }
    int ScreenHeight() override { return screenHeight; }
    int desktopWidth = 0, desktopHeight = 0;  // 0: the screen's
    int DesktopWidth() override { return desktopWidth ? desktopWidth : screenWidth; }
    int DesktopHeight() override { return desktopHeight ? desktopHeight : screenHeight; }
    int WaveInDeviceCount() override { return waveIn; }
    std::string tempWav;
    std::string TempWavPath() override { return tempWav; }
    int InstallClickHook() override {
        events.push_back("hook");
        return hookResult;
    }
    void RemoveClickHook() override { events.push_back("unhook"); }
    std::string AreaEditText(int id) override { return edits[id]; }
    void EnableAreaControl(int id, bool enable) override {
        areaControls[id] = enable;
        areaOrder.push_back(id);
    }
    void StatusSetPaused(bool paused, const std::string& bitmap) override {
        statusPaused = paused;
        statusBitmap = bitmap.substr(bitmap.rfind('/') + 1);
    }
    void StatusShow() override {
        statusVisible = true;
        events.push_back("status-show");
    }
    void StatusHide() override {
        statusVisible = false;
        events.push_back("status-hide");
    }
    void StatusPlace(int x, int y, int w, int h) override {
        statusX = x, statusY = y, statusW = w, statusH = h;
        events.push_back("status-place");
    }
    void StatusStartTimer(int id, int ms) override {
        EXPECT_EQ(id, 1);
        EXPECT_EQ(ms, 1000);
        timerRunning = true;
    }
    void StatusKillTimer(int id) override {
        EXPECT_EQ(id, 1);
        timerRunning = false;
        events.push_back("kill-timer");
    }
    std::int64_t StatusElapsedSeconds() override { return elapsed; }
    void StatusResetElapsed() override { elapsed = 0; }

    std::string ButtonState() {  // Start, Pause, Stop
        std::string s;
        for (int id : {kIdStart, kIdPause, kIdStop}) s += buttons[id] ? '1' : '0';
        return s;
    }
};

}  // namespace rectest
