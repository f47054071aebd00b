#include "platform/ui/notify_icon.h"

#include "platform/core/messages.h"

#include <QRect>
#include <QSystemTrayIcon>
#include <map>
#include <memory>
#include <utility>

namespace platform {

namespace {

using IconKey = std::pair<WindowHandle, std::uint32_t>;

// Never destroyed: an icon still shown at process exit must not outlive the application object
// in a static destructor.
std::map<IconKey, std::unique_ptr<QSystemTrayIcon>>& Icons() {
    static auto* icons = new std::map<IconKey, std::unique_ptr<QSystemTrayIcon>>;
    return *icons;
}

std::uint32_t MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick: return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::Trigger: return WM_LBUTTONDOWN;
        case QSystemTrayIcon::Context: return WM_RBUTTONDOWN;
        case QSystemTrayIcon::MiddleClick: return WM_MBUTTONDOWN;
        default: return 0;
    }
}

}  // namespace

bool Shell_NotifyIcon(std::uint32_t message, const NOTIFYICONDATA& data) {
    auto& icons = Icons();
    const IconKey key{data.hWnd, data.uID};
    if (message == NIM_DELETE) return icons.erase(key) > 0;
    if (message != NIM_ADD || icons.count(key)) return false;

    auto icon = std::make_unique<QSystemTrayIcon>();
    if (data.uFlags & NIF_ICON) icon->setIcon(data.hIcon);
    if (data.uFlags & NIF_TIP) icon->setToolTip(QString::fromStdString(data.szTip));
    if (data.uFlags & NIF_MESSAGE) {
        const WindowHandle owner = data.hWnd;
        const std::uint32_t id = data.uID;
        const std::uint32_t callback = data.uCallbackMessage;
        // Posted, so that a menu the owner opens in answer does not run inside the icon's own
        // mouse handling.
        QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                         [owner, id, callback](QSystemTrayIcon::ActivationReason reason) {
                             if (const std::uint32_t event = MouseMessageOf(reason))
                                 PostMessage(owner, callback, id, static_cast<LPARAM>(event));
                         });
    }
    icon->show();
    icons.emplace(key, std::move(icon));
    return true;
}

bool IsNotifyIconShown(WindowHandle window, std::uint32_t id) {
    return Icons().count({window, id}) > 0;
}

bool NotifyAreaAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QRect NotifyIconGeometry(WindowHandle window, std::uint32_t id) {
    auto it = Icons().find({window, id});
    return it == Icons().end() ? QRect() : it->second->geometry();
}

}  // namespace platform
