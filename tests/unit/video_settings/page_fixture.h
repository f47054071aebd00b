#pragma once
// The settings, the catalogue and a main window's status lines for a page under test.
#include "companions/phrasebook/phrasebook.h"
#include "platform/ui/dialog_builder.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "settings/record_settings.h"

#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_MAIN), &main_);
    }
    QString Line(int id) const {
        auto* label = qobject_cast<QLabel*>(platform::GetDlgItem(&main_, id));
        return label ? label->text() : QStringLiteral("<none>");
    }

    settings::RecordSettings settings_;
    QWidget main_;  // holds the status lines
};
