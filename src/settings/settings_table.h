#pragma once
// Every Config.ini key of the settings: its section, how it is read and written, and the value it
// takes when Config.ini has none (missing file, section or key, or an empty value). The loader,
// the writer, RecordSettings' own initial values and the recording job's all go by this list.
#include "platform/core/wave_format.h"
#include "settings/record_settings.h"

#include <cstdint>

namespace settings {

inline constexpr const char* kAreaSection = "Area Settings";
inline constexpr const char* kOutputSection = "Output Settings";
inline constexpr const char* kVideoSection = "Video Settings";
inline constexpr const char* kAudioSection = "Audio Settings";
inline constexpr const char* kGlobalSection = "Global Options";

// A flag is read through CIni::GetBool and written as 0 or 1; an int is read through the integer
// reading and written as signed decimal.
enum class ValueKind { Flag, Int };

// The area keys default to the main window's centred rectangle, known only when loading.
enum class WindowDefault { None, Left, Top, Width, Height };

// Who reads a key: start-up reads every key but the hot-key masks; the Options dialog's opening
// reads the hot keys' flags, codes and masks.
enum class Reader { StartUp, StartUpAndOptions, Options };

struct IntSetting {
    const char* section;
    const char* key;
    ValueKind kind;
    std::int32_t RecordSettings::*member;
    std::int32_t def;
    WindowDefault window = WindowDefault::None;
    Reader reader = Reader::StartUp;
};

namespace table {
using S = RecordSettings;
using enum ValueKind;
constexpr WindowDefault kNoWindow = WindowDefault::None;
constexpr Reader kAlsoOptions = Reader::StartUpAndOptions;  // the hot keys' flags and codes
constexpr Reader kOptionsOnly = Reader::Options;             // the hot keys' masks

// In the order the writer writes them.
inline constexpr IntSetting kIntSettings[] = {
    {kAreaSection, "RecordMode", Flag, &S::RecordMode, 0},
    {kAreaSection, "RecordLeft", Int, &S::RecordLeft, 0, WindowDefault::Left},
    {kAreaSection, "RecordTop", Int, &S::RecordTop, 0, WindowDefault::Top},
    {kAreaSection, "RecordRight", Int, &S::RecordRight, 0, WindowDefault::Width},
    {kAreaSection, "RecordBottom", Int, &S::RecordBottom, 0, WindowDefault::Height},
    {kAreaSection, "FlashingRect", Flag, &S::FlashingRect, 1},
    {kOutputSection, "AutoSave", Flag, &S::AutoSave, 0},
    {kVideoSection, "VideoQuanlity", Int, &S::VideoQuanlity, 65},
    {kVideoSection, "HighLightSize", Int, &S::HighLightSize, 64},
    {kVideoSection, "RecordMouse", Flag, &S::RecordMouse, 1},
    {kVideoSection, "FrameRate", Int, &S::FrameRate, 20},
    {kVideoSection, "HighLightMouse", Flag, &S::HighLightMouse, 1},
    {kVideoSection, "HighLightMouseCOLOR", Int, &S::HighLightMouseCOLOR, 0},
    {kVideoSection, "ClickHighMouse", Flag, &S::ClickHighMouse, 0},
    {kVideoSection, "ClickHighMouseLeftCOLOR", Int, &S::ClickHighMouseLeftCOLOR, 0},
    {kVideoSection, "ClickHighMouseRightCOLOR", Int, &S::ClickHighMouseRightCOLOR, 0},
    {kVideoSection, "VideoType", Int, &S::VideoType, kVideoAvi},
    {kAudioSection, "RecordAudio", Flag, &S::RecordAudio, 0},
    {kAudioSection, "WaveInSelected", Int, &S::WaveInSelected, 64},
    {kAudioSection, "Audio_bits_per_sample", Int, &S::Audio_bits_per_sample, 16},
    {kAudioSection, "Audio_num_channels", Int, &S::Audio_num_channels, 1},
    {kAudioSection, "Audio_samples_per_seconds", Int, &S::Audio_samples_per_seconds, 22050},
    {kGlobalSection, "StartMinimize", Flag, &S::StartMinimize, 1},
    {kGlobalSection, "PlayVideo", Flag, &S::PlayVideo, 1},
    {kGlobalSection, "TrayIcon", Flag, &S::TrayIcon, 1},
    {kGlobalSection, "MiniTray", Flag, &S::MiniTray, 1},
    {kGlobalSection, "CloseTray", Flag, &S::CloseTray, 0},
    {kGlobalSection, "StartCtrl", Flag, &S::StartCtrl, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StartAlt", Flag, &S::StartAlt, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StartShift", Flag, &S::StartShift, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StartHotkey", Int, &S::StartHotkey, 119, kNoWindow, kAlsoOptions},  // F8
    {kGlobalSection, "uHotkeyMaskStart", Int, &S::uHotkeyMaskStart, 0, kNoWindow, kOptionsOnly},
    {kGlobalSection, "PauseAlt", Flag, &S::PauseAlt, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "PauseCtrl", Flag, &S::PauseCtrl, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "PauseShift", Flag, &S::PauseShift, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "PauseHotkey", Int, &S::PauseHotkey, 120, kNoWindow, kAlsoOptions},  // F9
    {kGlobalSection, "uHotkeyMaskPause", Int, &S::uHotkeyMaskPause, 0, kNoWindow, kOptionsOnly},
    {kGlobalSection, "StopAlt", Flag, &S::StopAlt, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StopCtrl", Flag, &S::StopCtrl, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StopShift", Flag, &S::StopShift, 0, kNoWindow, kAlsoOptions},
    {kGlobalSection, "StopHotkey", Int, &S::StopHotkey, 121, kNoWindow, kAlsoOptions},  // F10
    {kGlobalSection, "uHotkeyMaskStop", Int, &S::uHotkeyMaskStop, 0, kNoWindow, kOptionsOnly},
};
}  // namespace table
using table::kIntSettings;

// The seven keys of the compressed sound format record, written after the [Audio Settings]
// integers. A 16-bit field keeps the low 16 bits of what is read and is written unsigned; a
// 32-bit field keeps the bits of the number read and is written as signed decimal.
struct FormatSetting {
    const char* key;
    std::int32_t def;
    std::int64_t (*get)(const platform::WAVEFORMATEX&);
    void (*set)(platform::WAVEFORMATEX&, std::int32_t);
};

namespace table {
using W = platform::WAVEFORMATEX;
constexpr std::int64_t Word(std::uint16_t v) { return v; }
constexpr std::int64_t Dword(std::uint32_t v) { return static_cast<std::int32_t>(v); }
constexpr std::uint16_t ToWord(std::int32_t v) { return static_cast<std::uint16_t>(v); }
constexpr std::uint32_t ToDword(std::int32_t v) { return static_cast<std::uint32_t>(v); }

inline constexpr FormatSetting kFormatSettings[] = {
    {"Audio_Compress_Type", 2, [](const W& f) { return Word(f.wFormatTag); },
     [](W& f, std::int32_t v) { f.wFormatTag = ToWord(v); }},
    {"nChannels", 1, [](const W& f) { return Word(f.nChannels); },
     [](W& f, std::int32_t v) { f.nChannels = ToWord(v); }},
    {"nSamplesPerSec", 11025, [](const W& f) { return Dword(f.nSamplesPerSec); },
     [](W& f, std::int32_t v) { f.nSamplesPerSec = ToDword(v); }},
    {"nAvgBytesPerSec", 11025, [](const W& f) { return Dword(f.nAvgBytesPerSec); },
     [](W& f, std::int32_t v) { f.nAvgBytesPerSec = ToDword(v); }},
    {"nBlockAlign", 1, [](const W& f) { return Word(f.nBlockAlign); },
     [](W& f, std::int32_t v) { f.nBlockAlign = ToWord(v); }},
    {"wBitsPerSample", 8, [](const W& f) { return Word(f.wBitsPerSample); },
     [](W& f, std::int32_t v) { f.wBitsPerSample = ToWord(v); }},
    {"cbSize", 2, [](const W& f) { return Word(f.cbSize); },
     [](W& f, std::int32_t v) { f.cbSize = ToWord(v); }},
};
}  // namespace table
using table::kFormatSettings;

// The default of a member of the table (0 for one it does not list).
constexpr std::int32_t DefaultOf(std::int32_t RecordSettings::*member) {
    for (const IntSetting& setting : kIntSettings)
        if (setting.member == member) return setting.def;
    return 0;
}

}  // namespace settings
