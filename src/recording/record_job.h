#pragma once
// RecordJob: the snapshot of the settings one recording runs on, plus the run state shared with
// the recording thread.
// Thread contract: OnStart (user-interface thread) writes every copied field before the
// recording thread starts; they stay read-only while it runs. Running, Paused and ClickState are
// shared flags (atomic, one writer each except ClickState, which the user-interface thread sets
// and the recording thread resets). FirstFramePending, StartTime, CodecFourCC and
// ClickFrameCount belong to the recording thread. ThreadActive is set by the user-interface
// thread when it starts a recording thread and cleared by that thread after its final message.
// Before the first Start the copies hold what a Start with the default settings would give them.
#include "settings/highlight_colours.h"
#include "settings/settings_table.h"

#include <atomic>
#include <cstdint>

namespace recording {

namespace initial {
using settings::DefaultOf;
using S = settings::RecordSettings;
constexpr std::int32_t kFrameRate = DefaultOf(&S::FrameRate);
}  // namespace initial

// Clicks waiting to be marked (ClickState).
constexpr std::int32_t kClickLeft = 1;
constexpr std::int32_t kClickRight = 2;

struct RecordJob {
    std::int32_t RecordMode = initial::DefaultOf(&initial::S::RecordMode);  // nonzero: full screen
    std::int32_t FlashingRect = initial::DefaultOf(&initial::S::FlashingRect);
    std::int32_t AutoSave = initial::DefaultOf(&initial::S::AutoSave);
    std::int32_t FirstFramePending = 0;
    std::uint32_t StartTime = 0;
    std::int32_t MsPerFrame = 1000 / initial::kFrameRate;
    std::int32_t FrameRate = initial::kFrameRate;
    std::int32_t KeyFrameEvery = 20;
    std::int32_t Quality = initial::DefaultOf(&initial::S::VideoQuanlity) * 100;
    std::uint32_t CodecFourCC = 0;
    std::int32_t VideoType = initial::DefaultOf(&initial::S::VideoType);
    std::int32_t RecordedSeconds = 0;
    std::int32_t BitsPerPixel = 24;
    std::int32_t RecordMouse = initial::DefaultOf(&initial::S::RecordMouse);
    std::int32_t HighLightMouse = initial::DefaultOf(&initial::S::HighLightMouse);
    std::int32_t ClickHighMouse = initial::DefaultOf(&initial::S::ClickHighMouse);
    std::int32_t HighLightSize = initial::DefaultOf(&initial::S::HighLightSize);
    std::atomic<std::int32_t> ClickState{0};  // 0 none, kClickLeft or kClickRight to mark
    std::int32_t ClickFrameCount = 0;
    std::int32_t HighLightMouseCOLOR = settings::kDefaultHighLightColor;
    std::int32_t ClickHighMouseLeftCOLOR = settings::kDefaultLeftClickColor;
    std::int32_t ClickHighMouseRightCOLOR = settings::kDefaultRightClickColor;
    std::atomic<std::int32_t> Paused{0};
    std::atomic<std::int32_t> Running{0};
    std::int32_t RecordAudio = initial::DefaultOf(&initial::S::RecordAudio);
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
    if (job.ClickHighMouse) job.ClickState = rightButton ? kClickRight : kClickLeft;
}

}  // namespace recording
