#pragma once
// The recording thread: picks the temporary video name, writes one Microsoft Video 1 stream of
// frames placed at the stream position matching the time each was grabbed, runs sound capture
// around the frame loop, and ends by posting WM_USER_RECORDFINISH (file complete) or
// WM_USER_RECORDINTERRUPTED (a step of the video file failed, or a frame's memory could not be
// had; what was written stays on disk; wParam says why, lParam is the recording's number) to
// the main window.
// Thread contract: RecordThreadProc runs on its own thread, one per recording. It shares with the
// user-interface thread only the job's atomic flags (Running and Paused, read at least every
// 50 ms; ClickState; ThreadActive, cleared after the final message as the thread's last use of
// anything shared) and the messages it posts.
// Everything else in the job is read-only while it runs, except the fields it owns
// (FirstFramePending, StartTime, CodecFourCC, ClickFrameCount).
#include "audio/sound_capture.h"
#include "platform/core/types.h"
#include "platform/x11/screen_source.h"
#include "recording/avi_api.h"
#include "recording/frame_capture.h"
#include "recording/record_clock.h"
#include "recording/record_job.h"

#include <functional>
#include <memory>
#include <string>

namespace recording {

class CFlashingWnd;

struct RecordEnvironment {
    RecordJob* job = nullptr;
    platform::WindowHandle mainWindow = 0;
    CFlashingWnd* frameWindow = nullptr;  // null: no frame to show
    audio::SoundCapture* sound = nullptr;  // null: no sound capture
    AviApi* avi = nullptr;                 // the AVI calls (normally RealAviApi())
    RecordClock* clock = nullptr;          // null: the system clock
    // Opens the screen on the calling (recording) thread; null: the X display.
    std::function<std::unique_ptr<platform::ScreenSource>(std::string* note)> openScreen;
    const platform::CursorImage* cursor = nullptr;  // null: the standard arrow
    // The area, as the job held it when the thread was started.
    int left = 0, top = 0, width = 0, height = 0;
    // Tells this recording's end messages from those of an earlier one.
    platform::LPARAM recordingNumber = 0;
};

// Thread entry. Returns 0.
int RecordThreadProc(RecordEnvironment env);

// Records into `path` until the job's Running is cleared or a step fails. Returns 0.
int RecordVideo(const RecordEnvironment& env, FrameSource& frames, const std::string& path,
                int left, int top, int width, int height, int rate);

// Stream position of a frame grabbed `elapsed` ms after the start of the loop, in a stream of
// `frameRate` positions per second, so that the picture keeps the recording's real time.
std::uint32_t FramePosition(std::int32_t frameRate, std::uint32_t elapsed);

}  // namespace recording
