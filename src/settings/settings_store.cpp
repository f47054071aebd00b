#include "settings/settings_store.h"

#include "platform/core/profile.h"
#include "settings/ini.h"
#include "settings/settings_table.h"

#include <string_view>

namespace settings {

namespace {

void WriteInt(const char* section, const char* key, std::int64_t value, const std::string& path) {
    platform::WritePrivateProfileString(section, key, std::to_string(value).c_str(), path);
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

// The table's keys of one section, in table order.
void WriteSection(const RecordSettings& s, const char* section, const std::string& path) {
    for (const IntSetting& setting : kIntSettings) {
        if (std::string_view(setting.section) != section) continue;
        const std::int32_t value = s.*setting.member;
        WriteInt(section, setting.key, setting.kind == ValueKind::Flag ? (value != 0) : value, path);
    }
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
    for (const IntSetting& setting : kIntSettings) {
        if (!setting.loaded) continue;
        const std::int32_t def = DefaultFor(setting, window);
        s.*setting.member = setting.kind == ValueKind::Flag
                                ? ini.GetBool(setting.section, setting.key, def)
                                : ini.GetInt(setting.section, setting.key, def);
    }
    s.AutoSaveDir = ini.GetString(kOutputSection, "AutoSaveDir", "");
    if (compressed)
        for (const FormatSetting& field : kFormatSettings)
            field.set(*compressed, ini.GetInt(kAudioSection, field.key, field.def));
}

void SaveSettings(const RecordSettings& s, const std::string& path,
                  const platform::WAVEFORMATEX* compressed) {
    WriteSection(s, kAreaSection, path);
    WriteSection(s, kOutputSection, path);
    platform::WritePrivateProfileString(kOutputSection, "AutoSaveDir", s.AutoSaveDir.c_str(), path);
    WriteSection(s, kVideoSection, path);
    WriteSection(s, kAudioSection, path);
    if (compressed)
        for (const FormatSetting& field : kFormatSettings)
            WriteInt(kAudioSection, field.key, field.get(*compressed), path);
}

void SaveGlobalOptions(const RecordSettings& s, const std::string& path) {
    WriteSection(s, kGlobalSection, path);
}

}  // namespace settings
