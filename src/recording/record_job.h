#pragma once
// RecordJob: the snapshot of the settings one recording runs on, plus the run state shared with
// the recording thread.
// Thread contract: OnStart (user-interface thread) writes every copied field before the
// recording thread starts; they stay read-only while it runs. Running, Paused and ClickState are
// shared flags (atomic, one writer each except ClickState, which the user-interface thread sets
// and the recording thread resets). FirstFramePending, StartTime, CodecFourCC and
// ClickFrameCount belong to the recording thread. ThreadActive is set by the user-interface
// thread when it starts a recording thread and cleared by that thread after its final message.
#include <atomic>
#include <cstdint>

namespace recording {

struct RecordJob {
    std::int32_t RecordMode = 0;  // nonzero: full screen
    std::int32_t FlashingRect = 1;
    std::int32_t AutoSave = 0;
    std::int32_t FirstFramePending = 0;
    std::uint32_t StartTime = 0;
    std::int32_t MsPerFrame = 50;
    std::int32_t FrameRate = 20;
    std::int32_t KeyFrameEvery = 20;
    std::int32_t Quality = 6500;
    std::uint32_t CodecFourCC = 0;
    std::int32_t VideoType = 100;
    std::int32_t RecordedSeconds = 0;
    std::int32_t BitsPerPixel = 24;
    std::int32_t RecordMouse = 1;
    std::int32_t HighLightMouse = 0;
    std::int32_t ClickHighMouse = 0;
    std::int32_t HighLightSize = 40;
    std::atomic<std::int32_t> ClickState{0};  // 0 none, 1 left, 2 right click to mark
    std::int32_t ClickFrameCount = 0;
    std::int32_t HighLightMouseCOLOR = 0x7DFFFF;
    std::int32_t ClickHighMouseLeftCOLOR = 0x0000FF;
    std::int32_t ClickHighMouseRightCOLOR = 0xFF0000;
    std::atomic<std::int32_t> Paused{0};
    std::atomic<std::int32_t> Running{0};
    std::int32_t RecordAudio = 0;
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t Width = 800;
    std::int32_t Height = 600;
    // A recording thread has been started and has not yet posted its final message.
    std::atomic<std::int32_t> ThreadActive{0};
};

// Called by the main window's button-down handlers: marks a left (or right) click for the next
// frames when click marking is on.
inline void MarkClick(RecordJob& job, bool rightButton) {
    if (job.ClickHighMouse) job.ClickState = rightButton ? 2 : 1;
}

}  // namespace recording
