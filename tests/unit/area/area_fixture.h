#pragma once
// A Select Area page over a stand-in desktop and a stand-in main window that records the frame
// messages it is sent.
#include "app/show_selected_area.h"
#include "area/area_desktop.h"
#include "area/region_dlg.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog_builder.h"
#include "recording/recording_host.h"
#include "recording/recording_messages.h"
#include "settings/record_settings.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace areatest {

class FakeDesktop : public area::AreaDesktop {
public:
    int width = 1920, height = 1080;
    QImage picture;
    std::vector<area::GridWindow> windows;
    std::vector<QPoint> pointerMoves;
    int snapshots = 0;

    FakeDesktop() {
        picture = QImage(width, height, QImage::Format_RGB32);
        picture.fill(qRgb(10, 20, 30));
    }
    int ScreenWidth() override { return width; }
    int ScreenHeight() override { return height; }
    QImage Snapshot() override {
        ++snapshots;
        return picture;
    }
    std::vector<area::GridWindow> TopLevelWindows() override { return windows; }
    void MovePointer(int x, int y) override { pointerMoves.push_back({x, y}); }
    void Settle(int) override {}
};

// Sends a mouse event as the window system would, at screen = window coordinates.
inline void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(at), QPointF(at), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

inline void Key(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

class AreaPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        app::ShowSelectedArea = 1;
        statusLine_ = new QLabel(&main_);
        platform::SetControlId(statusLine_, 1039);
        messages_.On(recording::WM_USER_FLASHFRAME, [this](platform::WPARAM w, platform::LPARAM) {
            flashes_.push_back(static_cast<int>(w));
            return 0;
        });
        settings_.RecordLeft = 100;
        settings_.RecordTop = 100;
        settings_.RecordRight = 800;
        settings_.RecordBottom = 600;
    }
    void TearDown() override { app::ShowSelectedArea = 1; }

    area::CRegionDlg& MakePage() {
        auto desktop = std::make_unique<FakeDesktop>();
        desktop_ = desktop.get();
        page_ = std::make_unique<area::CRegionDlg>(settings_, messages_.Handle(), std::move(desktop));
        flashes_.clear();
        return *page_;
    }
    QString BoxText(area::Box box) const { return page_->Edit(box)->text(); }
    std::vector<QString> Boxes() const {
        return {BoxText(area::Box::Left), BoxText(area::Box::Top), BoxText(area::Box::Width),
                BoxText(area::Box::Height)};
    }
    QWidget* Control(int id) const { return platform::GetDlgItem(page_.get(), id); }

    QWidget main_;
    platform::MessageWindow messages_{&main_};
    QLabel* statusLine_ = nullptr;
    std::vector<int> flashes_;
    settings::RecordSettings settings_;
    FakeDesktop* desktop_ = nullptr;
    std::unique_ptr<area::CRegionDlg> page_;
};

}  // namespace areatest
