#pragma once
// A main window over the build's program folder: the catalogue and the skins of build/bin, and
// a Config.ini of the test's choosing beside the test executable. Without a display there are no
// global hot keys to take: every key is then granted, as on a desktop where none is taken.
#include "app/hot_keys.h"
#include "app/rivive_zuzuve_dlg.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <QDir>
#include <cstdlib>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class GrantedHotKeys : public platform::HotKeys {
public:
    bool Register(platform::WindowHandle, int, unsigned, int) override { return true; }
    bool Unregister(platform::WindowHandle, int) override { return true; }
};

// Settings for a quick recording of a 64x48 region at 10 frames a second, no flashing frame, the
// window shown, no tray: the video type, sound and automatic saving as given.
inline std::string SmallRegionConfig(int videoType, int recordAudio, int autoSave) {
    return "[Area Settings]\nRecordMode=0\nRecordLeft=100\nRecordTop=100\nRecordRight=64\n"
           "RecordBottom=48\nFlashingRect=0\n[Video Settings]\nFrameRate=10\nVideoType=" +
           std::to_string(videoType) + "\n[Audio Settings]\nRecordAudio=" + std::to_string(recordAudio) +
           "\n[Output Settings]\nAutoSave=" + std::to_string(autoSave) +
           "\n[Global Options]\nStartMinimize=0\nPlayVideo=0\nTrayIcon=0\nCloseTray=0\n";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) app::SetHotKeyService(&grantedKeys_);
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
        app::SetHotKeyService(nullptr);
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
    GrantedHotKeys grantedKeys_;
    std::unique_ptr<app::CRiviveZuzuveDlg> dlg_;
};
