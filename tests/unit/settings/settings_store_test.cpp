#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using settings::RecordSettings;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

const platform::Rect kCentred = settings::CentredWindowRect(1920, 1080, 653, 450);

std::string Value(const std::string& path, const char* section, const char* key) {
    char buffer[256];
    platform::GetPrivateProfileString(section, key, "<missing>", buffer, sizeof buffer, path);
    return buffer;
}

TEST(CentredWindowRect, TruncatesTowardZero) {
    EXPECT_EQ(kCentred.left, 633);
    EXPECT_EQ(kCentred.top, 315);
    EXPECT_EQ(kCentred.Width(), 653);
    EXPECT_EQ(kCentred.Height(), 450);
    platform::Rect odd = settings::CentredWindowRect(100, 100, 653, 450);  // window larger
    EXPECT_EQ(odd.left, -276);  // (100 - 653) / 2 = -276.5 -> -276
    EXPECT_EQ(odd.top, -175);
}

TEST(LoadSettings, WithoutAFileEveryDefaultAppliesAndTheRegionIsTheCentredWindow) {
    TempDir dir;
    RecordSettings s;
    s.FrameRate = 99;  // must be overwritten by the default
    platform::WAVEFORMATEX compressed{};
    settings::LoadSettings(s, dir.File("Config.ini"), kCentred, &compressed);

    EXPECT_EQ(s.RecordMode, 0);
    EXPECT_EQ(s.RecordLeft, 633);
    EXPECT_EQ(s.RecordTop, 315);
    EXPECT_EQ(s.RecordRight, 653);
    EXPECT_EQ(s.RecordBottom, 450);
    EXPECT_EQ(s.FlashingRect, 1);
    EXPECT_EQ(s.AutoSave, 0);
    EXPECT_EQ(s.AutoSaveDir, "");
    EXPECT_EQ(s.VideoQuanlity, 65);
    EXPECT_EQ(s.HighLightSize, 64);
    EXPECT_EQ(s.RecordMouse, 1);
    EXPECT_EQ(s.FrameRate, 20);
    EXPECT_EQ(s.HighLightMouse, 1);
    EXPECT_EQ(s.ClickHighMouse, 0);
    EXPECT_EQ(s.VideoType, 100);
    EXPECT_EQ(s.RecordAudio, 0);
    EXPECT_EQ(s.WaveInSelected, 64);
    EXPECT_EQ(s.Audio_bits_per_sample, 16);
    EXPECT_EQ(s.Audio_num_channels, 1);
    EXPECT_EQ(s.Audio_samples_per_seconds, 22050);
    EXPECT_EQ(compressed.wFormatTag, 2);
    EXPECT_EQ(compressed.nChannels, 1);
    EXPECT_EQ(compressed.nSamplesPerSec, 11025u);
    EXPECT_EQ(compressed.nAvgBytesPerSec, 11025u);
    EXPECT_EQ(compressed.nBlockAlign, 1);
    EXPECT_EQ(compressed.wBitsPerSample, 8);
    EXPECT_EQ(compressed.cbSize, 2);
    EXPECT_EQ(s.StartMinimize, 1);
    EXPECT_EQ(s.PlayVideo, 1);
    EXPECT_EQ(s.TrayIcon, 1);
    EXPECT_EQ(s.MiniTray, 1);
    EXPECT_EQ(s.CloseTray, 0);
    EXPECT_EQ(s.StartHotkey, 119);
    EXPECT_EQ(s.PauseHotkey, 120);
    EXPECT_EQ(s.StopHotkey, 121);
}

TEST(LoadSettings, ReadingRules) {
    TempDir dir;
    std::string path = dir.File("Config.ini");
    WriteFile(path,
              "[area settings]\n"
              "RecordMode=YES\nrecordleft=-20\nRecordTop=  40  \nRecordRight=300\nRecordBottom=200\n"
              "FlashingRect=false\n"
              "[Output Settings]\nAutoSave=7\nAutoSaveDir=\"/home/me/" + std::string(100, 'v') + "\"\n"
              "[Video Settings]\nVideoQuanlity=abc\nFrameRate=\nVideoType=104\nRecordMouse=no\n"
              "HighLightMouseCOLOR=16711935\n"
              "[Audio Settings]\nAudio_Compress_Type=65553\nnChannels=-1\nnSamplesPerSec=-5\n"
              "[Global Options]\nCloseTray=True\nStartHotkey=65\nStopCtrl=5\n");
    RecordSettings s;
    platform::WAVEFORMATEX compressed{};
    settings::LoadSettings(s, path, kCentred, &compressed);

    EXPECT_EQ(s.RecordMode, 1);           // "YES", section and key matched without case
    EXPECT_EQ(s.RecordLeft, -20);         // negative numbers read back unchanged
    EXPECT_EQ(s.RecordTop, 40);
    EXPECT_EQ(s.RecordRight, 300);        // width, not right edge
    EXPECT_EQ(s.RecordBottom, 200);
    EXPECT_EQ(s.FlashingRect, 0);
    EXPECT_EQ(s.AutoSave, 1);             // non-zero number is flag 1
    EXPECT_EQ(s.AutoSaveDir, "/home/me/" + std::string(100, 'v'));  // read whole, quotes gone
    EXPECT_EQ(s.VideoQuanlity, 0);        // text where a number is expected
    EXPECT_EQ(s.FrameRate, 20);           // empty value: default
    EXPECT_EQ(s.VideoType, 104);
    EXPECT_EQ(s.RecordMouse, 0);
    EXPECT_EQ(s.HighLightMouseCOLOR, 0xFF00FF);
    EXPECT_EQ(compressed.wFormatTag, 0x11);       // low 16 bits of 65553
    EXPECT_EQ(compressed.nChannels, 0xFFFF);
    EXPECT_EQ(compressed.nSamplesPerSec, 0xFFFFFFFBu);
    EXPECT_EQ(s.CloseTray, 1);
    EXPECT_EQ(s.StartHotkey, 65);
    EXPECT_EQ(s.StopCtrl, 1);
}

TEST(LoadSettings, WithoutACompressedFormatRecordItsKeysAreSkipped) {
    TempDir dir;
    RecordSettings s;
    settings::LoadSettings(s, dir.File("Config.ini"), kCentred, nullptr);
    settings::SaveSettings(s, dir.File("Config.ini"), nullptr);
    EXPECT_EQ(Value(dir.File("Config.ini"), "Audio Settings", "cbSize"), "<missing>");
    EXPECT_EQ(Value(dir.File("Config.ini"), "Audio Settings", "Audio_samples_per_seconds"), "22050");
}

TEST(SaveSettings, WritesFourSectionsWithFlagsAsZeroOrOneAndRoundTrips) {
    TempDir dir;
    std::string path = dir.File("Config.ini");
    WriteFile(path, "; my notes\n[Area Settings]\nFlashingRect=5\nExtra=kept\n");
    RecordSettings s;
    platform::WAVEFORMATEX compressed{};
    settings::LoadSettings(s, path, kCentred, &compressed);
    s.RecordLeft = -7;
    s.RecordAudio = 9;  // a flag holding a non-zero value other than 1
    s.AutoSaveDir = "/tmp/out dir";
    compressed.nChannels = 0xFFFF;
    settings::SaveSettings(s, path, &compressed);

    std::string text = ReadFile(path);
    EXPECT_NE(text.find("; my notes"), std::string::npos);
    EXPECT_NE(text.find("Extra=kept"), std::string::npos);
    for (const char* section : {"[Area Settings]", "[Output Settings]", "[Video Settings]",
                                "[Audio Settings]"})
        EXPECT_NE(text.find(section), std::string::npos) << section;
    EXPECT_EQ(text.find("[Global Options]"), std::string::npos);
    EXPECT_EQ(Value(path, "Area Settings", "FlashingRect"), "1");  // 5 written back as 1
    EXPECT_EQ(Value(path, "Audio Settings", "RecordAudio"), "1");
    EXPECT_EQ(Value(path, "Area Settings", "RecordLeft"), "-7");
    EXPECT_EQ(Value(path, "Audio Settings", "nChannels"), "65535");  // 16-bit as unsigned

    RecordSettings again;
    platform::WAVEFORMATEX compressedAgain{};
    settings::LoadSettings(again, path, kCentred, &compressedAgain);
    EXPECT_EQ(again.RecordLeft, -7);
    EXPECT_EQ(again.RecordAudio, 1);
    EXPECT_EQ(again.AutoSaveDir, "/tmp/out dir");
    EXPECT_EQ(compressedAgain.nChannels, 0xFFFF);
}

TEST(SaveGlobalOptions, WritesOnlyTheGlobalSectionInOrder) {
    TempDir dir;
    std::string path = dir.File("Config.ini");
    RecordSettings s;
    s.StopCtrl = 3;
    s.uHotkeyMaskStop = 2;
    s.StopHotkey = 'S';
    settings::SaveGlobalOptions(s, path);
    std::string text = ReadFile(path);
    EXPECT_EQ(text.find("[Area Settings]"), std::string::npos);
    EXPECT_LT(text.find("StartMinimize=1"), text.find("uHotkeyMaskStop=2"));
    EXPECT_NE(text.find("StopCtrl=1"), std::string::npos);
    EXPECT_NE(text.find("StopHotkey=83"), std::string::npos);
}

TEST(LoadHotKeyOptions, ReadsFlagsCodesAndMasksAndLeavesTheRestAlone) {
    TempDir dir;
    const std::string path = dir.File("Config.ini");
    WriteFile(path, "[Global Options]\nStartCtrl=yes\nStartHotkey=82\nuHotkeyMaskStart=6\n"
                    "uHotkeyMaskPause=\nStopAlt=1\nuHotkeyMaskStop=abc\nTrayIcon=0\n");
    RecordSettings s;
    s.PauseHotkey = 5;  // missing from the file: back to its default
    s.FrameRate = 7;
    settings::LoadHotKeyOptions(s, path);
    EXPECT_EQ(s.StartCtrl, 1);
    EXPECT_EQ(s.StartHotkey, 82);
    EXPECT_EQ(s.uHotkeyMaskStart, 6);
    EXPECT_EQ(s.PauseHotkey, 120);
    EXPECT_EQ(s.uHotkeyMaskPause, 0);  // empty: the default
    EXPECT_EQ(s.StopAlt, 1);
    EXPECT_EQ(s.uHotkeyMaskStop, 0);   // no digits
    EXPECT_EQ(s.TrayIcon, 1);          // not a hot key: untouched
    EXPECT_EQ(s.FrameRate, 7);
}

TEST(SaveSettings, AnUnwritablePlaceIsReportedAndKeepsTheValuesInMemory) {
    TempDir dir;
    RecordSettings s;
    s.FrameRate = 30;
    const struct {
        std::string path;
        bool written;
    } cases[] = {{dir.File("Config.ini"), true}, {dir.File("no such folder/Config.ini"), false}};
    for (const auto& c : cases) {
        EXPECT_EQ(settings::SaveSettings(s, c.path, nullptr), c.written) << c.path;
        EXPECT_EQ(settings::SaveGlobalOptions(s, c.path), c.written) << c.path;
        EXPECT_EQ(platform::FileExists(c.path), c.written) << c.path;
    }
    EXPECT_EQ(s.FrameRate, 30);
}

TEST(SettingsTable, EveryKeyIsReadIntoItsOwnMemberAndWrittenBackUnderItsOwnName) {
    // A distinct value per key shows a key read into another member or written under another
    // name; flags get "yes", which only a flag reads as 1.
    TempDir dir;
    const std::string path = dir.File("Config.ini");
    std::string text;
    int n = 1000;
    for (const char* section : {settings::kAreaSection, settings::kOutputSection,
                                settings::kVideoSection, settings::kAudioSection,
                                settings::kGlobalSection}) {
        text += std::string("[") + section + "]\n";
        for (const settings::IntSetting& e : settings::kIntSettings)
            if (std::string(e.section) == section)
                text += std::string(e.key) + "=" +
                        (e.kind == settings::ValueKind::Flag ? "yes" : std::to_string(++n)) + "\n";
        if (std::string(section) == settings::kAudioSection)
            for (const settings::FormatSetting& f : settings::kFormatSettings)
                text += std::string(f.key) + "=" + std::to_string(++n) + "\n";
    }
    WriteFile(path, text);
    RecordSettings s;
    platform::WAVEFORMATEX compressed{};
    settings::LoadSettings(s, path, kCentred, &compressed);

    const std::string copy = dir.File("Copy.ini");
    settings::SaveSettings(s, copy, &compressed);
    settings::SaveGlobalOptions(s, copy);
    n = 1000;
    for (const settings::IntSetting& e : settings::kIntSettings) {
        const bool flag = e.kind == settings::ValueKind::Flag;
        const int expected = flag ? 1 : ++n;
        const bool loaded = e.reader != settings::Reader::Options;
        if (loaded) {
            EXPECT_EQ(s.*e.member, expected) << e.key;
        } else {
            EXPECT_EQ(s.*e.member, e.def) << e.key << " is left to the Options dialog";
        }
        EXPECT_EQ(Value(copy, e.section, e.key), std::to_string(loaded ? expected : e.def)) << e.key;
        if (std::string(e.key) == "Audio_samples_per_seconds")
            for (const settings::FormatSetting& f : settings::kFormatSettings) {
                ++n;
                EXPECT_EQ(f.get(compressed), n) << f.key;
                EXPECT_EQ(Value(copy, settings::kAudioSection, f.key), std::to_string(n)) << f.key;
            }
    }
}

}  // namespace
