#include "companions/phrasebook/phrasebook.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

using testsupport::TempDir;
using testsupport::WriteFile;

// The catalogue is process-wide: these tests load files once, in order, and read them after.
class Phrasebook : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EXPECT_EQ(GetLanguageCount(), 0);
        // Nothing loaded: the built-in English catalogue answers, the same texts as the file.
        EXPECT_STREQ(GetText("MsgBox", "SmallArea"),
                     "The recording area is too small. Width and height must be at least 15 pixels.");
        EXPECT_STREQ(GetText("Menu", "Exit"), "&Exit");
        EXPECT_STREQ(GetText("MsgBox", "NoSuchKey"), "[MsgBox.NoSuchKey]");
        dir_ = new TempDir;
        WriteFile(dir_->File("Broken.xml"), "<Language name=\"Broken\"><Section name=\"MsgBox\">");
        WriteFile(dir_->File("Empty.xml"), "");
        WriteFile(dir_->File("German.xml"),
                  "<Language name=\"German\"><Section name=\"Menu\">"
                  "<Text key=\"Exit\">&amp;Beenden</Text></Section></Language>");
        LoadLanguageFiles((dir_->Path() + "*.xml").c_str());
        LoadLanguageFiles(RZ_SOURCE_DIR "\\src\\resources\\Languages\\*.xml");
        SelectLanguage("English");
    }
    static void TearDownTestSuite() { delete dir_; }
    static TempDir* dir_;
};
TempDir* Phrasebook::dir_ = nullptr;

TEST_F(Phrasebook, MalformedFilesAreSkipped) { EXPECT_EQ(GetLanguageCount(), 2); }

TEST_F(Phrasebook, EveryPairTheRecorderAsksForHasAText) {
    const char* pairs[][2] = {
        {"Audio", "GroupAudio"}, {"Audio", "CheckRecordAudio"}, {"Audio", "BtnVolumeControl"},
        {"Audio", "BtnChooseFormat"}, {"Video", "GroupVideo"}, {"Video", "GroupMouse"},
        {"Video", "VideoType"}, {"Video", "VideoQuality"}, {"Video", "FPS"},
        {"Video", "CheckRecordMouse"}, {"Video", "CheckHighLight"}, {"Video", "CheckClickLight"},
        {"Video", "BtnSetting"}, {"Video", "AVIFILETIPS"}, {"Video", "OTHERFILETIPS"},
        {"SelectArea", "GroupScreen"}, {"SelectArea", "FullScreen"},
        {"SelectArea", "SelectedRegion"}, {"SelectArea", "Left"}, {"SelectArea", "Top"},
        {"SelectArea", "Width"}, {"SelectArea", "Height"}, {"SelectArea", "BtnSelectWindow"},
        {"SelectArea", "BtnSelectRegion"}, {"SelectArea", "CheckShowFlash"},
        {"SelectArea", "CheckShowSelect"}, {"OutPut", "GroupOutput"}, {"OutPut", "BtnSave"},
        {"OutPut", "BtnAutoSave"}, {"OutPut", "BtnOpen"}, {"Option", "GroupOption"},
        {"Option", "GroupKey"}, {"Option", "CheckMini"}, {"Option", "CheckPlayVideo"},
        {"Option", "CheckTrayIcon"}, {"Option", "CheckCloseToTray"}, {"Option", "CheckMiniToTray"},
        {"Option", "StartHotkey"}, {"Option", "PauseHotkey"}, {"Option", "StopHotKey"},
        {"Option", "BtnOk"}, {"Option", "BtnCancel"}, {"MouseSetting", "CursorColor"},
        {"MouseSetting", "LeftColor"}, {"MouseSetting", "RightColor"}, {"MouseSetting", "Size"},
        {"MouseSetting", "BtnOk"}, {"MouseSetting", "BtnCancel"}, {"Menu", "Record"},
        {"Menu", "Pause"}, {"Menu", "Stop"}, {"Menu", "Exit"}, {"Menu", "HelpFile"},
        {"Menu", "Support"}, {"Menu", "ProductPage"}, {"Menu", "About"},
        {"StatusInfo", "FullRecordMode"}, {"StatusInfo", "SelectMode"},
        {"StatusInfo", "RecordMouse"}, {"StatusInfo", "NotRecordMouse"},
        {"StatusInfo", "RecordAudio"}, {"StatusInfo", "NotRecordAudio"},
        {"StatusInfo", "StartTip"}, {"StatusInfo", "PauseTip"}, {"StatusInfo", "StopTip"},
        {"MsgBox", "AudioRecordError"}, {"MsgBox", "AutoSaveFile"}, {"MsgBox", "FailedMessage"},
        {"MsgBox", "Fail"}, {"MsgBox", "InvalidArea"}, {"MsgBox", "NoAudioDevice"},
        {"MsgBox", "OnMerging"}, {"MsgBox", "OnRecording"}, {"MsgBox", "OpenVolumeError"},
        {"MsgBox", "PauseHotkeyError"}, {"MsgBox", "RecordIsRuning"},
        {"MsgBox", "RecordingError"}, {"MsgBox", "RegisterPause"}, {"MsgBox", "RegisterStart"},
        {"MsgBox", "RegisterStop"}, {"MsgBox", "SaveFile"}, {"MsgBox", "SaveSuccess"},
        {"MsgBox", "SelectKeyFirst"}, {"MsgBox", "SelectKeyWithCTRL"}, {"MsgBox", "SmallArea"},
        {"MsgBox", "StartHotkeyError"}, {"MsgBox", "StopHotkeyError"},
        {"MsgBox", "UnableCombine"}, {"MsgBox", "UnableCreateFile"},
        {"MsgBox", "VideoVersionTooLow"}, {"MsgBox", "WritingSoundFileError"},
    };
    for (const auto& pair : pairs) {
        const char* text = GetText(pair[0], pair[1]);
        ASSERT_NE(text, nullptr);
        EXPECT_NE(text[0], '[') << pair[0] << "." << pair[1] << " is missing";
    }
}

TEST_F(Phrasebook, LabelsCarryTheTemplateTextsAndComposedMessagesRead) {
    EXPECT_STREQ(GetText("Menu", "Record"), "&Record");
    EXPECT_STREQ(GetText("Audio", "BtnChooseFormat"), "Choose  Compressed Format");
    EXPECT_STREQ(GetText("Option", "StopHotKey"), "Stop Hotkey:");
    std::string saved = std::string(GetText("MsgBox", "SaveFile")) + "/home/me/x.avi" +
                        GetText("MsgBox", "SaveSuccess");
    EXPECT_EQ(saved, "Saving the recording to /home/me/x.avi succeeded.");
    std::string hotkey = std::string(GetText("MsgBox", "RegisterStop")) + "CTRL + S" +
                         GetText("MsgBox", "Fail");
    EXPECT_EQ(hotkey.rfind("Registering the Stop hot key CTRL + S failed", 0), 0u);
}

TEST_F(Phrasebook, MissingPairsAndUnknownLanguagesStillGiveAVisibleText) {
    EXPECT_STREQ(GetText("MsgBox", "NoSuchKey"), "[MsgBox.NoSuchKey]");
    EXPECT_STREQ(GetText(nullptr, nullptr), "[.]");
    SelectLanguage("Klingon");  // unknown: stays English
    EXPECT_STREQ(GetText("Menu", "Exit"), "&Exit");
    SelectLanguage("German");
    EXPECT_STREQ(GetText("Menu", "Exit"), "&Beenden");
    EXPECT_STREQ(GetText("Menu", "Stop"), "[Menu.Stop]");
    SelectLanguage("English");
}

TEST_F(Phrasebook, TextsStayValidWhileOtherThreadsAskAndSwitch) {
    const char* before = GetText("MsgBox", "SmallArea");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 2000; ++i) {
                if (t == 0 && i % 100 == 0) SelectLanguage(i % 200 ? "German" : "English");
                const char* text = GetText("Menu", "Exit");
                EXPECT_TRUE(std::strcmp(text, "&Exit") == 0 || std::strcmp(text, "&Beenden") == 0);
                GetText("Missing", std::to_string(i % 50).c_str());
            }
        });
    for (auto& th : threads) th.join();
    SelectLanguage("English");
    EXPECT_STREQ(before, GetText("MsgBox", "SmallArea"));
}

}  // namespace
