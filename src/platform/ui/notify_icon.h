#pragma once
// Notification-area icons: the record of one icon (owner window, id, callback message, icon, tip)
// and the add and delete calls. Mouse events on a shown icon reach the owner window as the
// callback message, posted with wParam the icon id and lParam the mouse message number.
// Thread contract: user-interface thread only.
#include "platform/core/types.h"

#include <QIcon>
#include <cstdint>
#include <string>

class QRect;

namespace platform {

// Mouse events reported for an icon (the system's mouse message numbers).
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;

enum : std::uint32_t { NIM_ADD = 0, NIM_DELETE = 2 };
enum : std::uint32_t { NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };

struct NOTIFYICONDATA {
    std::uint32_t cbSize = 508;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    QIcon hIcon;
    std::string szTip;
};

// NIM_ADD shows the icon, NIM_DELETE removes it. Adding an icon that is shown or deleting one
// that is not changes nothing and returns false.
bool Shell_NotifyIcon(std::uint32_t message, const NOTIFYICONDATA& data);
// Whether the icon of (window, id) is shown.
bool IsNotifyIconShown(WindowHandle window, std::uint32_t id);
// Whether the desktop has a notification area to hold icons right now.
bool NotifyAreaAvailable();
// Where the icon stands on the screen; empty when not shown or not known.
QRect NotifyIconGeometry(WindowHandle window, std::uint32_t id);

}  // namespace platform
