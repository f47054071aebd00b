#include "settings/settings_store.h"

#include "platform/core/profile.h"
#include "settings/ini.h"

namespace settings {

namespace {

bool WriteInt(const char* section, const char* key, std::int64_t value, const std::string& path) {
    return platform::WritePrivateProfileString(section, key, std::to_string(value).c_str(), path);
}

bool WriteFlag(const char* section, const char* key, std::int32_t value, const std::string& path) {
    return WriteInt(section, key, value != 0 ? 1 : 0, path);
}

constexpr const char* kArea = "Area Settings";
constexpr const char* kOutput = "Output Settings";
constexpr const char* kVideo = "Video Settings";
constexpr const char* kAudio = "Audio Settings";
constexpr const char* kGlobal = "Global Options";

// The hot keys' modifier flags and key codes (not their masks).
void ReadHotKeys(const CIni& ini, RecordSettings& s) {
    s.StartAlt = ini.GetBool("StartAlt", kGlobal, 0);
    s.StartCtrl = ini.GetBool("StartCtrl", kGlobal, 0);
    s.StartShift = ini.GetBool("StartShift", kGlobal, 0);
    s.StartHotkey = ini.GetInt(kGlobal, "StartHotkey", 119);
    s.PauseAlt = ini.GetBool("PauseAlt", kGlobal, 0);
    s.PauseCtrl = ini.GetBool("PauseCtrl", kGlobal, 0);
    s.PauseShift = ini.GetBool("PauseShift", kGlobal, 0);
    s.PauseHotkey = ini.GetInt(kGlobal, "PauseHotkey", 120);
    s.StopAlt = ini.GetBool("StopAlt", kGlobal, 0);
    s.StopCtrl = ini.GetBool("StopCtrl", kGlobal, 0);
    s.StopShift = ini.GetBool("StopShift", kGlobal, 0);
    s.StopHotkey = ini.GetInt(kGlobal, "StopHotkey", 121);
}

}  // namespace

platform::Rect CentredWindowRect(int screenWidth, int screenHeight, int windowWidth,
                                 int windowHeight) {
    int x = (screenWidth - windowWidth) / 2;
    int y = (screenHeight - windowHeight) / 2;
    return {x, y, x + windowWidth, y + windowHeight};
}

void LoadSettings(RecordSettings& s, const std::string& iniPath, const platform::Rect& window,
                  platform::WAVEFORMATEX* compressed) {
    CIni ini(iniPath);
    auto flag = [&](const char* section, const char* key, std::int32_t def) {
        return ini.GetBool(key, section, def);
    };
    auto integer = [&](const char* section, const char* key, std::int32_t def) {
        return ini.GetInt(section, key, def);
    };
    auto word = [&](const char* section, const char* key, std::int32_t def) {
        return static_cast<std::uint16_t>(ini.GetInt(section, key, def));
    };

    s.RecordMode = flag(kArea, "RecordMode", 0);
    s.RecordLeft = integer(kArea, "RecordLeft", window.left);
    s.RecordTop = integer(kArea, "RecordTop", window.top);
    s.RecordRight = integer(kArea, "RecordRight", window.Width());
    s.RecordBottom = integer(kArea, "RecordBottom", window.Height());
    s.FlashingRect = flag(kArea, "FlashingRect", 1);

    s.AutoSave = flag(kOutput, "AutoSave", 0);
    s.AutoSaveDir = ini.GetString(kOutput, "AutoSaveDir", "");

    s.VideoQuanlity = integer(kVideo, "VideoQuanlity", 65);
    s.HighLightSize = integer(kVideo, "HighLightSize", 64);
    s.RecordMouse = flag(kVideo, "RecordMouse", 1);
    s.FrameRate = integer(kVideo, "FrameRate", 20);
    s.HighLightMouse = flag(kVideo, "HighLightMouse", 1);
    s.HighLightMouseCOLOR = integer(kVideo, "HighLightMouseCOLOR", 0);
    s.ClickHighMouse = flag(kVideo, "ClickHighMouse", 0);
    s.ClickHighMouseLeftCOLOR = integer(kVideo, "ClickHighMouseLeftCOLOR", 0);
    s.ClickHighMouseRightCOLOR = integer(kVideo, "ClickHighMouseRightCOLOR", 0);
    s.VideoType = integer(kVideo, "VideoType", kVideoAvi);

    s.RecordAudio = flag(kAudio, "RecordAudio", 0);
    s.WaveInSelected = integer(kAudio, "WaveInSelected", 64);
    s.Audio_bits_per_sample = integer(kAudio, "Audio_bits_per_sample", 16);
    s.Audio_num_channels = integer(kAudio, "Audio_num_channels", 1);
    s.Audio_samples_per_seconds = integer(kAudio, "Audio_samples_per_seconds", 22050);
    if (compressed) {
        compressed->wFormatTag = word(kAudio, "Audio_Compress_Type", 2);
        compressed->nChannels = word(kAudio, "nChannels", 1);
        compressed->nSamplesPerSec = static_cast<std::uint32_t>(integer(kAudio, "nSamplesPerSec", 11025));
        compressed->nAvgBytesPerSec = static_cast<std::uint32_t>(integer(kAudio, "nAvgBytesPerSec", 11025));
        compressed->nBlockAlign = word(kAudio, "nBlockAlign", 1);
        compressed->wBitsPerSample = word(kAudio, "wBitsPerSample", 8);
        compressed->cbSize = word(kAudio, "cbSize", 2);
    }

    s.StartMinimize = flag(kGlobal, "StartMinimize", 1);
    s.PlayVideo = flag(kGlobal, "PlayVideo", 1);
    s.TrayIcon = flag(kGlobal, "TrayIcon", 1);
    s.MiniTray = flag(kGlobal, "MiniTray", 1);
    s.CloseTray = flag(kGlobal, "CloseTray", 0);
    ReadHotKeys(ini, s);
}

void LoadHotKeyOptions(RecordSettings& s, const std::string& iniPath) {
    CIni ini(iniPath);
    ReadHotKeys(ini, s);
    s.uHotkeyMaskStart = ini.GetInt(kGlobal, "uHotkeyMaskStart", 0);
    s.uHotkeyMaskPause = ini.GetInt(kGlobal, "uHotkeyMaskPause", 0);
    s.uHotkeyMaskStop = ini.GetInt(kGlobal, "uHotkeyMaskStop", 0);
}

bool SaveSettings(const RecordSettings& s, const std::string& path,
                  const platform::WAVEFORMATEX* compressed) {
    bool ok = true;
    ok &= WriteFlag(kArea, "RecordMode", s.RecordMode, path);
    ok &= WriteInt(kArea, "RecordLeft", s.RecordLeft, path);
    ok &= WriteInt(kArea, "RecordTop", s.RecordTop, path);
    ok &= WriteInt(kArea, "RecordRight", s.RecordRight, path);
    ok &= WriteInt(kArea, "RecordBottom", s.RecordBottom, path);
    ok &= WriteFlag(kArea, "FlashingRect", s.FlashingRect, path);

    ok &= WriteFlag(kOutput, "AutoSave", s.AutoSave, path);
    ok &= platform::WritePrivateProfileString(kOutput, "AutoSaveDir", s.AutoSaveDir.c_str(), path);

    ok &= WriteInt(kVideo, "VideoQuanlity", s.VideoQuanlity, path);
    ok &= WriteInt(kVideo, "HighLightSize", s.HighLightSize, path);
    ok &= WriteFlag(kVideo, "RecordMouse", s.RecordMouse, path);
    ok &= WriteInt(kVideo, "FrameRate", s.FrameRate, path);
    ok &= WriteFlag(kVideo, "HighLightMouse", s.HighLightMouse, path);
    ok &= WriteInt(kVideo, "HighLightMouseCOLOR", s.HighLightMouseCOLOR, path);
    ok &= WriteFlag(kVideo, "ClickHighMouse", s.ClickHighMouse, path);
    ok &= WriteInt(kVideo, "ClickHighMouseLeftCOLOR", s.ClickHighMouseLeftCOLOR, path);
    ok &= WriteInt(kVideo, "ClickHighMouseRightCOLOR", s.ClickHighMouseRightCOLOR, path);
    ok &= WriteInt(kVideo, "VideoType", s.VideoType, path);

    ok &= WriteFlag(kAudio, "RecordAudio", s.RecordAudio, path);
    ok &= WriteInt(kAudio, "WaveInSelected", s.WaveInSelected, path);
    ok &= WriteInt(kAudio, "Audio_bits_per_sample", s.Audio_bits_per_sample, path);
    ok &= WriteInt(kAudio, "Audio_num_channels", s.Audio_num_channels, path);
    ok &= WriteInt(kAudio, "Audio_samples_per_seconds", s.Audio_samples_per_seconds, path);
    if (compressed) {
        ok &= WriteInt(kAudio, "Audio_Compress_Type", compressed->wFormatTag, path);
        ok &= WriteInt(kAudio, "nChannels", compressed->nChannels, path);
        ok &= WriteInt(kAudio, "nSamplesPerSec", static_cast<std::int32_t>(compressed->nSamplesPerSec), path);
        ok &= WriteInt(kAudio, "nAvgBytesPerSec", static_cast<std::int32_t>(compressed->nAvgBytesPerSec), path);
        ok &= WriteInt(kAudio, "nBlockAlign", compressed->nBlockAlign, path);
        ok &= WriteInt(kAudio, "wBitsPerSample", compressed->wBitsPerSample, path);
        ok &= WriteInt(kAudio, "cbSize", compressed->cbSize, path);
    }
    return ok;
}

bool SaveGlobalOptions(const RecordSettings& s, const std::string& path) {
    bool ok = true;
    ok &= WriteFlag(kGlobal, "StartMinimize", s.StartMinimize, path);
    ok &= WriteFlag(kGlobal, "PlayVideo", s.PlayVideo, path);
    ok &= WriteFlag(kGlobal, "TrayIcon", s.TrayIcon, path);
    ok &= WriteFlag(kGlobal, "MiniTray", s.MiniTray, path);
    ok &= WriteFlag(kGlobal, "CloseTray", s.CloseTray, path);
    ok &= WriteFlag(kGlobal, "StartCtrl", s.StartCtrl, path);
    ok &= WriteFlag(kGlobal, "StartAlt", s.StartAlt, path);
    ok &= WriteFlag(kGlobal, "StartShift", s.StartShift, path);
    ok &= WriteInt(kGlobal, "StartHotkey", s.StartHotkey, path);
    ok &= WriteInt(kGlobal, "uHotkeyMaskStart", s.uHotkeyMaskStart, path);
    ok &= WriteFlag(kGlobal, "PauseAlt", s.PauseAlt, path);
    ok &= WriteFlag(kGlobal, "PauseCtrl", s.PauseCtrl, path);
    ok &= WriteFlag(kGlobal, "PauseShift", s.PauseShift, path);
    ok &= WriteInt(kGlobal, "PauseHotkey", s.PauseHotkey, path);
    ok &= WriteInt(kGlobal, "uHotkeyMaskPause", s.uHotkeyMaskPause, path);
    ok &= WriteFlag(kGlobal, "StopAlt", s.StopAlt, path);
    ok &= WriteFlag(kGlobal, "StopCtrl", s.StopCtrl, path);
    ok &= WriteFlag(kGlobal, "StopShift", s.StopShift, path);
    ok &= WriteInt(kGlobal, "StopHotkey", s.StopHotkey, path);
    ok &= WriteInt(kGlobal, "uHotkeyMaskStop", s.uHotkeyMaskStop, path);
    return ok;
}

}  // namespace settings
