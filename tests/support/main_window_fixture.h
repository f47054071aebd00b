#pragma once
// A main window over the build's program folder: the catalogue and the skins of build/bin, and
// a Config.ini of the test's choosing beside the test executable.
#include "app/rivive_zuzuve_dlg.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        // The window loads its skins from the program folder: the test executable's.
        const QString skins = QString::fromStdString(platform::GetProgramFolder() + "skins");
        if (!QFileInfo::exists(skins)) QFile::link(RZ_BIN_DIR "/skins", skins);
        config_ = platform::GetProgramFolder() + "Config.ini";
        QFile::remove(QString::fromStdString(config_));
    }
    void TearDown() override {
        dlg_.reset();
        QFile::remove(QString::fromStdString(config_));
    }
    void WriteConfig(const std::string& text) { testsupport::WriteFile(config_, text); }
    app::CRiviveZuzuveDlg& Make() {
        dlg_ = std::make_unique<app::CRiviveZuzuveDlg>();
        return *dlg_;
    }
    void Show() {
        dlg_->show();
        ASSERT_TRUE(testsupport::WaitUntil([&] { return dlg_->Initialised(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    }

    std::string config_;
    std::unique_ptr<app::CRiviveZuzuveDlg> dlg_;
};
