#pragma once
// CShowStatusDlg: the small top-most strip shown near the recorded area while recording. It
// shows the elapsed time (hours:minutes:seconds, counted by its own one-second timer, which the
// main window runs only while recording, so paused time is not counted) and carries the skinned
// Pause/Resume (1003) and Stop (1004) buttons, which act through the main window.
// Thread contract: user-interface thread only.
#include "skin/bitmap_ex.h"

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;

namespace skin {
class CBmpButton;
class CCustomToolTipCtrl;
}  // namespace skin

namespace recording {

constexpr int kIdStatusPause = 1003;
constexpr int kIdStatusStop = 1004;
constexpr int kIdStatusTime = 1069;

// Seconds as "%H:%M:%S" of a time span: hours wrap at 24.
std::string FormatElapsed(std::uint64_t seconds);

class CShowStatusDlg : public QDialog {
    Q_OBJECT
public:
    explicit CShowStatusDlg(QWidget* parent = nullptr);
    ~CShowStatusDlg() override;

    // The main window's Pause, Start (which resumes) and Stop.
    struct MainActions {
        std::function<void()> pause, resume, stop;
    };
    void SetMainActions(MainActions actions) { actions_ = std::move(actions); }

    // Read and written by the main window.
    std::int32_t StatusPaused = 0;
    std::uint64_t ElapsedSeconds = 0;

    // The main window's own pause, resume and stop: the paused flag and the Pause button's
    // strip change, the tip stays; repaints without erasing.
    void SetPausedLook(bool paused, const std::string& stripPath);

    // Timers by id; a running timer's id started again restarts it.
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool TimerRunning(int id) const;
    // One tick of any timer: one more second.
    void OnTimer(int id);
    void ResetElapsed();
    std::string TimeText() const { return timeText_; }

    // The two buttons' clicks.
    void OnPauseButton();
    void OnStopButton();

    skin::CBmpButton* PauseButton() const { return pause_; }
    skin::CBmpButton* StopButton() const { return stop_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void reject() override {}  // Escape does not close the strip

private:
    void ShowTime();
    void LoadPauseStrip(const char* name);

    skin::CBitmapEx background_;
    skin::CBmpButton* pause_ = nullptr;
    skin::CBmpButton* stop_ = nullptr;
    QLabel* time_ = nullptr;
    skin::CCustomToolTipCtrl* tips_ = nullptr;
    std::string timeText_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    MainActions actions_;
};

}  // namespace recording
