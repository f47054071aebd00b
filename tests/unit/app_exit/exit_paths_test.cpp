// The ways out of the main window: refusals while recording, the confirmation while converting,
// close to tray, and the quit line written once per quit.
#include "app/main_tray.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

using testsupport::MessageBoxRecorder;

constexpr const char* kQuit = "----------------------- Quit Rivive Zuzuve.exe ---------------------------";

std::string Log() {
    return testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log");
}

int QuitLines() {
    std::string log = Log();
    int n = 0;
    for (auto pos = log.find(kQuit); pos != std::string::npos; pos = log.find(kQuit, pos + 1)) ++n;
    return n;
}

class ExitPaths : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadLanguageFiles(RZ_SOURCE_DIR "/src/resources/Languages/*.xml");
        SelectLanguage("English");
    }
    void SetUp() override {
        // Neither the keys nor the notification area of the desktop matter on the way out.
        app::SetHotKeyService(&grantedKeys_);
        dlg_.Tray()->SetAreaProbe([] { return true; });
        std::remove(dlg_.ConfigPath().c_str());
        dlg_.Settings().CloseTray = 0;
        quitLines_ = QuitLines();
    }
    void TearDown() override {
        std::remove(dlg_.ConfigPath().c_str());
        app::SetHotKeyService(nullptr);
    }
    bool Saved() { return platform::FileExists(dlg_.ConfigPath()); }

    GrantedHotKeys grantedKeys_;
    app::CRiviveZuzuveDlg dlg_;
    MessageBoxRecorder boxes_;
    int quitLines_ = 0;
};

TEST_F(ExitPaths, WhileRecordingCloseAndTrayExitOnlyShowTheRefusal) {
    dlg_.Flags().IsRecording = 1;
    dlg_.OnCloseButton();
    dlg_.OnTrayExit();
    auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.text, GetText("MsgBox", "OnRecording"));
        EXPECT_EQ(box.caption, "");
        EXPECT_EQ(box.type, platform::MB_OK);
        EXPECT_EQ(box.owner, dlg_.Handle());
    }
    EXPECT_EQ(QuitLines(), quitLines_);
    EXPECT_FALSE(Saved());
}

TEST_F(ExitPaths, WhileConvertingTheQuestionDecidesWhetherTheConversionIsCancelled) {
    dlg_.Flags().Converting = 1;
    boxes_.SetAnswer(platform::IDCANCEL);
    dlg_.OnCloseButton();
    EXPECT_EQ(dlg_.Flags().CancelConvert, 0);
    boxes_.SetAnswer(platform::IDOK);
    dlg_.OnTrayExit();
    EXPECT_EQ(dlg_.Flags().CancelConvert, 1);
    auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, GetText("MsgBox", "OnMerging"));
    EXPECT_EQ(boxes[1].type, platform::MB_OKCANCEL);
    EXPECT_EQ(QuitLines(), quitLines_);
    EXPECT_FALSE(Saved());  // the converter worker ends the recorder without saving
}

TEST_F(ExitPaths, CloseToTrayHidesAndLogsTheQuitLineButKeepsRunning) {
    dlg_.show();  // loads the settings first
    dlg_.Settings().CloseTray = 1;
    dlg_.Settings().TrayIcon = 1;
    dlg_.Flags().IsRecording = 1;  // close to tray wins over the recording refusal
    dlg_.OnCloseButton();
    EXPECT_FALSE(dlg_.isVisible());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_EQ(QuitLines(), quitLines_ + 1);
    EXPECT_FALSE(Saved());
    dlg_.Flags().IsRecording = 0;
    dlg_.OnTrayExit();  // a later Exit writes it again and saves
    EXPECT_EQ(QuitLines(), quitLines_ + 2);
    EXPECT_TRUE(Saved());
}

TEST_F(ExitPaths, ASaveThatFailsIsLoggedAndTheCloseStillEnds) {
    // A folder in Config.ini's place refuses the write, for root as well.
    ASSERT_TRUE(std::filesystem::create_directory(dlg_.ConfigPath()));
    dlg_.show();
    dlg_.OnCloseButton();
    const bool stillShown = dlg_.isVisible();
    std::filesystem::remove(dlg_.ConfigPath());
    EXPECT_FALSE(stillShown);
    EXPECT_EQ(QuitLines(), quitLines_ + 1);
    EXPECT_NE(Log().find("Save Settings Error!,Config File Path is " + dlg_.ConfigPath()),
              std::string::npos);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ExitPaths, ANormalCloseSavesAndWritesOneQuitLine) {
    dlg_.OnCloseButton();
    EXPECT_TRUE(Saved());
    EXPECT_EQ(QuitLines(), quitLines_ + 1);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
