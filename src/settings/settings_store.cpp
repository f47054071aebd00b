#include "settings/settings_store.h"

#include "platform/core/profile.h"
#include "settings/ini.h"
#include "settings/settings_table.h"

#include <string_view>

namespace settings {

namespace {

bool WriteInt(const char* section, const char* key, std::int64_t value, const std::string& path) {
    return platform::WritePrivateProfileString(section, key, std::to_string(value).c_str(), path);
}

std::int32_t DefaultFor(const IntSetting& setting, const platform::Rect& window) {
    switch (setting.window) {
        case WindowDefault::Left: return window.left;
        case WindowDefault::Top: return window.top;
        case WindowDefault::Width: return window.Width();
        case WindowDefault::Height: return window.Height();
        case WindowDefault::None: break;
    }
    return setting.def;
}

void Read(const CIni& ini, const IntSetting& setting, std::int32_t def, RecordSettings& s) {
    s.*setting.member = setting.kind == ValueKind::Flag
                            ? ini.GetBool(setting.section, setting.key, def)
                            : ini.GetInt(setting.section, setting.key, def);
}

// The table's keys of one section, in table order. False when any could not be written.
bool WriteSection(const RecordSettings& s, const char* section, const std::string& path) {
    bool ok = true;
    for (const IntSetting& setting : kIntSettings) {
        if (std::string_view(setting.section) != section) continue;
        const std::int32_t value = s.*setting.member;
        ok &= WriteInt(section, setting.key, setting.kind == ValueKind::Flag ? (value != 0) : value, path);
    }
    return ok;
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
    for (const IntSetting& setting : kIntSettings)
        if (setting.reader != Reader::Options) Read(ini, setting, DefaultFor(setting, window), s);
    s.AutoSaveDir = ini.GetString(kOutputSection, "AutoSaveDir", "");
    if (compressed)
        for (const FormatSetting& field : kFormatSettings)
            field.set(*compressed, ini.GetInt(kAudioSection, field.key, field.def));
}

void LoadHotKeyOptions(RecordSettings& s, const std::string& iniPath) {
    CIni ini(iniPath);
    for (const IntSetting& setting : kIntSettings)
        if (setting.reader != Reader::StartUp) Read(ini, setting, setting.def, s);
}

bool SaveSettings(const RecordSettings& s, const std::string& path,
                  const platform::WAVEFORMATEX* compressed) {
    bool ok = WriteSection(s, kAreaSection, path);
    ok &= WriteSection(s, kOutputSection, path);
    ok &= platform::WritePrivateProfileString(kOutputSection, "AutoSaveDir", s.AutoSaveDir.c_str(), path);
    ok &= WriteSection(s, kVideoSection, path);
    ok &= WriteSection(s, kAudioSection, path);
    if (compressed)
        for (const FormatSetting& field : kFormatSettings)
            ok &= WriteInt(kAudioSection, field.key, field.get(*compressed), path);
    return ok;
}

bool SaveGlobalOptions(const RecordSettings& s, const std::string& path) {
    return WriteSection(s, kGlobalSection, path);
}

}  // namespace settings
