#pragma once
// MainTray: the main window's notification-area icon and its right-click menu (139). The icon
// record is filled at initialisation; the icon is shown while TrayIcon asks for it and removed by
// the exit routine. Its mouse events arrive as WM_USER_TRAYNOTIFY: a double-click hides or shows
// the main window, the right button opens the menu, whose commands run as the main window's own.
// Thread contract: user-interface thread only.
#include "platform/core/types.h"
#include "platform/ui/notify_icon.h"
#include "resources/resource_ids.h"

#include <cstdint>
#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace app {

class CRiviveZuzuveDlg;

constexpr std::uint32_t kTrayIconId = 860715;

// Commands of menu 139.
using resources::ID_TRAY_EXIT;
using resources::ID_TRAY_PAUSE;
using resources::ID_TRAY_RECORD;
using resources::ID_TRAY_STOP;

class MainTray {
public:
    explicit MainTray(CRiviveZuzuveDlg& dlg);
    ~MainTray();  // removes the icon
    MainTray(const MainTray&) = delete;
    MainTray& operator=(const MainTray&) = delete;

    // Fills the icon record (icon, owner, id, tip) and loads the menu; at window initialisation.
    void Initialise();
    // Show or remove the icon; a second add or remove changes nothing.
    void Add();
    void Remove();
    bool Shown() const;
    const platform::NOTIFYICONDATA& Record() const { return record_; }
    QMenu* Menu() const { return menu_.get(); }

    // Whether Mini and Close may hide the main window: TrayIcon is set, the icon is shown and the
    // desktop has a notification area to show it in. Without one the window would be lost, so it stays
    // on the screen; the log says so once.
    bool CanHideWindow();
    // Replaces the question whether the desktop has a notification area (tests).
    void SetAreaProbe(std::function<bool()> probe) { areaProbe_ = std::move(probe); }

    // WM_USER_TRAYNOTIFY: wParam the icon id, lParam the mouse event. 0 for another icon.
    platform::LRESULT OnTrayNotify(platform::WPARAM id, platform::LPARAM event);
    void ShowTrayMenu();

private:
    void ShowMainWindow();

    CRiviveZuzuveDlg& dlg_;
    platform::NOTIFYICONDATA record_;
    QWidget* menuOwner_ = nullptr;
    std::unique_ptr<QMenu> menu_;
    std::function<bool()> areaProbe_;
    bool toldNoTray_ = false;
};

}  // namespace app
