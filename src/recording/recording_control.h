#pragma once
// RecordingControl: the start/pause/stop logic of the main window. It takes the RecordJob
// snapshot at Start, validates the area, installs the click hook, starts the recording thread,
// places and runs the status window, drives the flashing frame, and keeps the Start, Pause and
// Stop buttons and the Select Area controls in step with the state:
//   Idle (IsRecording 0, Running 0, Paused 0)   Start on, Pause off, Stop off
//   Recording (1, 1, 0)                         Start off, Pause on, Stop on
//   Paused (1, 1, 1)                            Start on (resumes), Pause off, Stop on
// An interruption (WM_USER_RECORDINTERRUPTED) returns to Idle as Stop does, and tells the user
// why and where the temporary files are kept; the files are left for the user.
// A Start while the previous recording thread has not yet posted its final message is refused
// (nothing changes; a log line says why) and may simply be given again.
// Thread contract: every operation runs on the user-interface thread; the recording thread sees
// pause and stop only through the job's Paused and Running flags. Nothing here waits for it,
// except the destructor, which stops a running recording and waits until its files are closed.
// The frame window and the sound capture given to the control must outlive it.
#include "audio/sound_capture.h"
#include "platform/core/messages.h"
#include "platform/core/types.h"
#include "recording/record_job.h"
#include "recording/record_thread.h"
#include "recording/recording_host.h"

#include <functional>
#include <string>
#include <thread>

namespace recording {

class CFlashingWnd;

// Reads a decimal integer as the edit boxes' text is read: optional leading blanks and sign,
// then the leading digits; no digits gives 0.
int AreaTextToInt(const std::string& text);

class RecordingControl {
public:
    // `frameWindow` and `sound` may be null (no frame; no sound capture). `avi` is normally
    // RealAviApi().
    RecordingControl(RecordingHost& host, CFlashingWnd* frameWindow, AviApi& avi,
                     audio::SoundCapture* sound = nullptr);
    ~RecordingControl();
    RecordingControl(const RecordingControl&) = delete;
    RecordingControl& operator=(const RecordingControl&) = delete;

    RecordJob& Job() { return job_; }

    void OnStart();
    void OnPause();
    void OnStop();
    platform::LRESULT OnHotKey(platform::WPARAM id, platform::LPARAM lParam);
    platform::LRESULT OnRecordInterrupted(platform::WPARAM wParam, platform::LPARAM lParam);
    platform::LRESULT OnFlashFrame(platform::WPARAM wParam, platform::LPARAM lParam);
    void EnableAreaControls(bool enable);
    // From the main window's left and right button-down handlers.
    void OnButtonDown(bool rightButton) { MarkClick(job_, rightButton); }

    // Replaceable for tests: the blocking waits of Start (500 ms) and Stop (50 ms), and how the
    // recording thread is started (by default RecordThreadProc on a new thread).
    using SleepFunction = std::function<void(unsigned ms)>;
    using ThreadStarter = std::function<void(RecordEnvironment env)>;
    void SetSleep(SleepFunction sleep) { sleep_ = std::move(sleep); }
    void SetThreadStarter(ThreadStarter starter) { starter_ = std::move(starter); }

private:
    void ReadArea();
    void FitAreaToScreen();
    // Steps of Stop that bring the window, the status window and the flags back to Idle.
    void BackToIdle();
    void ReportInterruption(int reason, bool current);
    void StartThread(RecordEnvironment env);
    void ReleaseThread();
    void StatusPauseBitmap(bool paused);

    RecordingHost& host_;
    CFlashingWnd* frameWindow_;
    AviApi& avi_;
    audio::SoundCapture* sound_;
    RecordJob job_;
    SleepFunction sleep_;
    ThreadStarter starter_;
    std::thread thread_;
    platform::LPARAM recordingNumber_ = 0;  // of the last recording started
};

// Routes the main window's WM_USER_RECORDINTERRUPTED, WM_USER_FLASHFRAME and WM_HOTKEY to the
// control that `control` gives at the time; nothing happens (result 0) while it gives null.
void RouteRecordingMessages(platform::MessageWindow& mainWindow,
                            std::function<RecordingControl*()> control);

}  // namespace recording
