// The Output page: manual or automatic saving, and the automatic folder.
#include "companions/phrasebook/phrasebook.h"
#include "finishing/output_dlg.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

using finishing::COutPutDlg;

class OutputPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        settings_.AutoSaveDir = dir_.File("out");
    }
    COutPutDlg& Make() {
        page_ = std::make_unique<COutPutDlg>(settings_);
        return *page_;
    }
    QAbstractButton* Button(int id) { return qobject_cast<QAbstractButton*>(page_->Control(id)); }
    QLineEdit* Folder() { return qobject_cast<QLineEdit*>(page_->Control(COutPutDlg::kFolder)); }

    testsupport::TempDir dir_;
    testsupport::MessageBoxRecorder boxes_;
    settings::RecordSettings settings_;
    std::unique_ptr<COutPutDlg> page_;
};

TEST_F(OutputPageTest, AutoSaveDecidesTheCheckedButtonAndWhetherFolderAndOpenAreUsable) {
    for (std::int32_t autoSave : {0, 1}) {
        settings_.AutoSave = autoSave;
        Make();
        EXPECT_EQ(Button(COutPutDlg::kSaveManually)->isChecked(), autoSave == 0);
        EXPECT_EQ(Button(COutPutDlg::kAutoSave)->isChecked(), autoSave == 1);
        EXPECT_EQ(Folder()->isEnabled(), autoSave == 1);
        EXPECT_EQ(page_->Control(COutPutDlg::kOpen)->isEnabled(), autoSave == 1);
    }
    // The radio buttons switch both ways.
    Button(COutPutDlg::kSaveManually)->click();
    EXPECT_EQ(settings_.AutoSave, 0);
    EXPECT_FALSE(Folder()->isEnabled());
    EXPECT_FALSE(page_->Control(COutPutDlg::kOpen)->isEnabled());
    Button(COutPutDlg::kAutoSave)->click();
    EXPECT_EQ(settings_.AutoSave, 1);
    EXPECT_TRUE(Folder()->isEnabled());
    EXPECT_TRUE(page_->Control(COutPutDlg::kOpen)->isEnabled());
}

TEST_F(OutputPageTest, TheFolderIsCreatedAndEveryKeystrokeReachesTheSetting) {
    settings_.AutoSave = 1;
    settings_.AutoSaveDir = dir_.File("a/b/c");  // missing parents too
    Make();
    EXPECT_TRUE(page_->Initialised());
    EXPECT_TRUE(std::filesystem::is_directory(dir_.File("a/b/c")));
    EXPECT_EQ(Folder()->text().toStdString(), dir_.File("a/b/c"));

    Folder()->clear();
    QTest::keyClicks(Folder(), "/x");
    EXPECT_EQ(settings_.AutoSaveDir, "/x");
    QTest::keyClick(Folder(), Qt::Key_Y);
    EXPECT_EQ(settings_.AutoSaveDir, "/xy");
    EXPECT_TRUE(boxes_.Boxes().empty());

    std::string opened;
    page_->SetFolderOpener([&](const std::string& path) {
        opened = path;
        return true;
    });
    Button(COutPutDlg::kOpen)->click();
    EXPECT_EQ(opened, "/xy");
}

TEST_F(OutputPageTest, AFolderThatCannotBeMadeIsReportedAndLeavesTheBoxEmpty) {
    testsupport::WriteFile(dir_.File("file"), "x");
    settings_.AutoSaveDir = dir_.File("file/out");  // under a plain file
    Make();
    EXPECT_FALSE(page_->Initialised());
    const auto boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetText("MsgBox", "UnableCreateFile"));
    EXPECT_EQ(boxes[0].caption, "Note");
    EXPECT_EQ(boxes[0].owner, 0u);
    EXPECT_TRUE(Folder()->text().isEmpty());
    EXPECT_EQ(settings_.AutoSaveDir, dir_.File("file/out"));
}

}  // namespace
