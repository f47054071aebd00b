#include "app/main_tray.h"

#include "app/log_lines.h"
#include "app/main_messages.h"
#include "app/rivive_zuzuve_dlg.h"
#include "app/show_selected_area.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/messages.h"
#include "platform/ui/menu_template.h"
#include "platform/ui/popup_menu.h"
#include "resources/cursors.h"
#include "resources/menus.h"
#include "resources/resource_ids.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace app {

namespace {

constexpr const char* kNoTrayLine =
    "No notification area: Mini and Close keep the main window on the screen";

struct Label {
    int command;
    const char* key;
};
constexpr Label kLabels[] = {
    {ID_TRAY_RECORD, "Record"},
    {ID_TRAY_PAUSE, "Pause"},
    {ID_TRAY_STOP, "Stop"},
    {ID_TRAY_EXIT, "Exit"},
};

}  // namespace

MainTray::MainTray(CRiviveZuzuveDlg& dlg)
    : dlg_(dlg), areaProbe_([] { return platform::NotifyAreaAvailable(); }) {
    record_.cbSize = 508;
    record_.uCallbackMessage = WM_USER_TRAYNOTIFY;
    record_.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
}

MainTray::~MainTray() { Remove(); }

void MainTray::Initialise() {
    record_.hIcon = resources::LoadIconResource(resources::IDR_MAINFRAME);
    record_.hWnd = dlg_.Handle();
    record_.uID = kTrayIconId;
    record_.szTip = kProductName;
    menuOwner_ = &dlg_;
    if (const platform::MenuTemplate* tmpl = resources::FindMenuTemplate(resources::IDR_TRAY_MENU))
        menu_.reset(platform::BuildMenu(*tmpl, menuOwner_));
}

void MainTray::Add() { platform::Shell_NotifyIcon(platform::NIM_ADD, record_); }

void MainTray::Remove() { platform::Shell_NotifyIcon(platform::NIM_DELETE, record_); }

bool MainTray::Shown() const { return platform::IsNotifyIconShown(record_.hWnd, record_.uID); }

bool MainTray::CanHideWindow() {
    if (!dlg_.Settings().TrayIcon || !Shown()) return false;
    if (areaProbe_()) return true;
    if (!toldNoTray_) {
        toldNoTray_ = true;
        WriteLogLine(kNoTrayLine);
    }
    return false;
}

platform::LRESULT MainTray::OnTrayNotify(platform::WPARAM id, platform::LPARAM event) {
    if (id != kTrayIconId) return 0;
    switch (static_cast<std::uint32_t>(event)) {
        case platform::WM_LBUTTONDBLCLK:
            if (dlg_.isVisible()) {
                dlg_.hide();
                if (!dlg_.Flags().IsRecording)
                    platform::SendMessage(dlg_.Handle(), WM_USER_FLASHFRAME, 1, 0);
                break;
            }
            ShowMainWindow();
            if (dlg_.Settings().RecordMode == 0 && ShowSelectedArea != 0)
                platform::SendMessage(dlg_.Handle(), WM_USER_FLASHFRAME, 0, 0);
            if (!dlg_.Flags().Converting)
                if (QWidget* progress = dlg_.ProgressWindow()) progress->hide();
            break;
        case platform::WM_RBUTTONDOWN:
            if (dlg_.isVisible()) {
                dlg_.raise();
                dlg_.activateWindow();
            }
            ShowTrayMenu();
            break;
        default: break;
    }
    return 1;
}

void MainTray::ShowMainWindow() {
    // A window hidden while minimised comes back restored: the double-click is meant to bring
    // it to the user.
    if (dlg_.isMinimized()) dlg_.ShowNormalQuietly();
    else dlg_.show();
    dlg_.raise();
    dlg_.activateWindow();
}

void MainTray::ShowTrayMenu() {
    if (!menu_ || !menuOwner_) return;
    const QPoint at = QCursor::pos();
    for (const Label& label : kLabels)
        if (QAction* item = platform::FindMenuItem(menu_.get(), label.command)) {
            item->setText(QString::fromUtf8(GetText("Menu", label.key)));
            item->setEnabled(true);
        }
    const int chosen = platform::TrackPopupMenu(
        menu_.get(), platform::TPM_RIGHTALIGN | platform::TPM_RIGHTBUTTON, at);
    if (chosen != 0) dlg_.RunCommand(chosen);
}

}  // namespace app
