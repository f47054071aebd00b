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

// Every member starts at its default of the settings table (settings_table.h); the area
// starts empty until LoadSettings gives it the main window's rectangle.
struct RecordSettings {
    RecordSettings();

    // [Area Settings]; RecordRight and RecordBottom are the width and height.
    std::int32_t RecordMode, RecordLeft, RecordTop, RecordRight, RecordBottom, FlashingRect;
    // [Output Settings]
    std::int32_t AutoSave;
    std::string AutoSaveDir;
    // [Video Settings]
    std::int32_t VideoQuanlity, HighLightSize, RecordMouse, FrameRate, HighLightMouse;
    std::int32_t HighLightMouseCOLOR, ClickHighMouse, ClickHighMouseLeftCOLOR,
        ClickHighMouseRightCOLOR, VideoType;
    // [Audio Settings]; the compressed format fields live in the audio code's format record.
    std::int32_t RecordAudio, WaveInSelected, Audio_bits_per_sample, Audio_num_channels,
        Audio_samples_per_seconds;
    // [Global Options]
    std::int32_t StartMinimize, PlayVideo, TrayIcon, MiniTray, CloseTray;
    std::int32_t StartCtrl, StartAlt, StartShift, StartHotkey, uHotkeyMaskStart;
    std::int32_t PauseCtrl, PauseAlt, PauseShift, PauseHotkey, uHotkeyMaskPause;
    std::int32_t StopCtrl, StopAlt, StopShift, StopHotkey, uHotkeyMaskStop;
};

}  // namespace settings
