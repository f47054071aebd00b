#pragma once
// Everything the recorder keeps between runs, named by its Config.ini keys. Owned by the main
// window; pages and dialogs edit these members in place on the user-interface thread.
#include <cstdint>
#include <string>

namespace settings {

// Output format codes.
enum VideoTypeCode : std::int32_t {
    kVideoAvi = 100,
    kVideoFlv = 101,
    kVideoMp4 = 102,
    kVideoMpeg1 = 103,
    kVideoWmv = 104,
    kVideoMpeg2 = 105,
    kVideoSwf = 106,
};

struct RecordSettings {
    // [Area Settings]; RecordRight and RecordBottom are the width and height.
    std::int32_t RecordMode = 0;
    std::int32_t RecordLeft = 0;
    std::int32_t RecordTop = 0;
    std::int32_t RecordRight = 0;
    std::int32_t RecordBottom = 0;
    std::int32_t FlashingRect = 1;
    // [Output Settings]
    std::int32_t AutoSave = 0;
    std::string AutoSaveDir;
    // [Video Settings]
    std::int32_t VideoQuanlity = 65;
    std::int32_t HighLightSize = 64;
    std::int32_t RecordMouse = 1;
    std::int32_t FrameRate = 20;
    std::int32_t HighLightMouse = 1;
    std::int32_t HighLightMouseCOLOR = 0;
    std::int32_t ClickHighMouse = 0;
    std::int32_t ClickHighMouseLeftCOLOR = 0;
    std::int32_t ClickHighMouseRightCOLOR = 0;
    std::int32_t VideoType = kVideoAvi;
    // [Audio Settings]; the compressed format fields live in the audio code's format record.
    std::int32_t RecordAudio = 0;
    std::int32_t WaveInSelected = 64;
    std::int32_t Audio_bits_per_sample = 16;
    std::int32_t Audio_num_channels = 1;
    std::int32_t Audio_samples_per_seconds = 22050;
    // [Global Options]
    std::int32_t StartMinimize = 1;
    std::int32_t PlayVideo = 1;
    std::int32_t TrayIcon = 1;
    std::int32_t MiniTray = 1;
    std::int32_t CloseTray = 0;
    std::int32_t StartCtrl = 0, StartAlt = 0, StartShift = 0;
    std::int32_t StartHotkey = 119;
    std::int32_t uHotkeyMaskStart = 0;
    std::int32_t PauseCtrl = 0, PauseAlt = 0, PauseShift = 0;
    std::int32_t PauseHotkey = 120;
    std::int32_t uHotkeyMaskPause = 0;
    std::int32_t StopCtrl = 0, StopAlt = 0, StopShift = 0;
    std::int32_t StopHotkey = 121;
    std::int32_t uHotkeyMaskStop = 0;
};

}  // namespace settings
