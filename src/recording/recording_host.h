#pragma once
// What the recording control needs of the main window, the Select Area page and the status
// window. The main window implements it; tests drive the control with a stand-in.
// Thread contract: every call comes from the user-interface thread.
#include "platform/core/types.h"
#include "settings/record_settings.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace recording {

// Control ids the control reaches by id.
constexpr int kIdStart = 1016;
constexpr int kIdPause = 1003;
constexpr int kIdStop = 1004;
constexpr int kIdEditLeft = 1030;
constexpr int kIdEditTop = 1031;
constexpr int kIdEditWidth = 1013;
constexpr int kIdEditHeight = 1014;
constexpr int kIdSelectRegion = 1018;
constexpr int kIdSelectWindow = 1032;
constexpr int kIdFullScreen = 1028;
constexpr int kIdSelectedRegion = 1029;
constexpr int kIdShowFlashing = 1038;
constexpr int kIdShowSelected = 1065;
constexpr int kIdLabelLeft = 1036;
constexpr int kIdLabelTop = 1039;
constexpr int kIdLabelWidth = 1037;
constexpr int kIdLabelHeight = 1040;

// Status window timer.
constexpr int kStatusTimerId = 1;
constexpr int kStatusTimerMs = 1000;

class RecordingHost {
public:
    virtual ~RecordingHost() = default;

    // --- main window
    virtual platform::WindowHandle MainWindow() = 0;
    virtual settings::RecordSettings& Settings() = 0;
    virtual std::atomic<std::int32_t>& IsRecording() = 0;
    virtual std::atomic<std::int32_t>& HookInstalled() = 0;
    virtual std::atomic<std::int32_t>& CancelConvert() = 0;
    virtual void InvalidateMain(bool erase) = 0;
    virtual void MinimizeMain() = 0;
    // Shows the main window in its normal state and brings it to the foreground.
    virtual void ShowMainForeground() = 0;
    // Gives the main window the focus, brings it to the top and restores it.
    virtual void RestoreMainToTop() = 0;
    // Start (1016), Pause (1003) and Stop (1004) buttons.
    virtual void EnableButton(int id, bool enable) = 0;
    // Size of the primary screen in pixels.
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // Size of the whole desktop (every screen side by side) from its top-left corner; a region
    // is recorded where it lies on it.
    virtual int DesktopWidth() { return ScreenWidth(); }
    virtual int DesktopHeight() { return ScreenHeight(); }
    // Number of sound input devices.
    virtual int WaveInDeviceCount() = 0;
    // The temporary sound file of the last recording; empty when there is none.
    virtual std::string TempWavPath() { return {}; }
    // An interrupted recording: `text` says why it stopped and where its files are kept, and
    // `videoPath` (with `soundPath`, empty without sound) names what was kept, empty when nothing
    // was. True when the host has dealt with it (offered to finish it, or ended the recorder for a
    // quit that was waiting for it); false leaves the control to tell the user.
    virtual bool TakeInterrupted([[maybe_unused]] const std::string& text,
                                 [[maybe_unused]] const std::string& videoPath,
                                 [[maybe_unused]] const std::string& soundPath) {
        return false;
    }
    // The click hook: SetHook / UninstallMyHook on the main window.
    virtual int InstallClickHook() = 0;
    virtual void RemoveClickHook() = 0;

    // --- Select Area page, controls by id
    virtual std::string AreaEditText(int id) = 0;
    virtual void EnableAreaControl(int id, bool enable) = 0;

    // --- status window
    // Sets its paused flag and gives its Pause button the skin bitmap `bitmapPath`, then
    // repaints it without erasing.
    virtual void StatusSetPaused(bool paused, const std::string& bitmapPath) = 0;
    virtual void StatusShow() = 0;
    virtual void StatusHide() = 0;
    // Position and size, topmost.
    virtual void StatusPlace(int x, int y, int width, int height) = 0;
    virtual void StatusStartTimer(int id, int ms) = 0;
    virtual void StatusKillTimer(int id) = 0;
    virtual std::int64_t StatusElapsedSeconds() = 0;
    virtual void StatusResetElapsed() = 0;
};

}  // namespace recording
