#pragma once
// MainRecordingHost: the main window as the recording control sees it — its flags, buttons and
// settings, the Select Area page's controls by id, and the status window, which it owns.
// Thread contract: user-interface thread only.
#include "recording/recording_host.h"

#include <functional>
#include <memory>

namespace recording {
class CShowStatusDlg;
}

namespace app {

class CRiviveZuzuveDlg;

class MainRecordingHost : public recording::RecordingHost {
public:
    explicit MainRecordingHost(CRiviveZuzuveDlg& dlg);
    ~MainRecordingHost() override;

    // Creates the status window, hidden, and gives it to the main window, unless the main window
    // already has one; its buttons run the main window's Pause, Start and Stop commands.
    void CreateStatusWindow();
    recording::CShowStatusDlg* Status() const;

    // Number of sound input devices; 0 until the sound capture provides its count.
    void SetWaveInDeviceCounter(std::function<int()> counter) { waveInCount_ = std::move(counter); }

    platform::WindowHandle MainWindow() override;
    settings::RecordSettings& Settings() override;
    std::atomic<std::int32_t>& IsRecording() override;
    std::atomic<std::int32_t>& HookInstalled() override;
    std::atomic<std::int32_t>& CancelConvert() override;
    void InvalidateMain(bool erase) override;
    void MinimizeMain() override;
    void ShowMainForeground() override;
    void RestoreMainToTop() override;
    void EnableButton(int id, bool enable) override;
    int ScreenWidth() override;
    int ScreenHeight() override;
    int WaveInDeviceCount() override;
    std::string TempWavPath() override;
    int DesktopWidth() override;
    int DesktopHeight() override;
    bool TakeInterrupted(const std::string& text, const std::string& videoPath,
                         const std::string& soundPath) override;
    int InstallClickHook() override;
    void RemoveClickHook() override;
    std::string AreaEditText(int id) override;
    void EnableAreaControl(int id, bool enable) override;
    void StatusSetPaused(bool paused, const std::string& bitmapPath) override;
    void StatusShow() override;
    void StatusHide() override;
    void StatusPlace(int x, int y, int width, int height) override;
    void StatusStartTimer(int id, int ms) override;
    void StatusKillTimer(int id) override;
    std::int64_t StatusElapsedSeconds() override;
    void StatusResetElapsed() override;

private:
    CRiviveZuzuveDlg& dlg_;
    std::function<int()> waveInCount_;
    std::unique_ptr<recording::CShowStatusDlg> status_;
};

}  // namespace app
