#pragma once
// Private messages of the main window and the system commands it handles.
#include "platform/core/types.h"

namespace app {

constexpr std::uint32_t WM_USER_RECORDFINISH = platform::WM_USER + 1;       // 0x401
constexpr std::uint32_t WM_USER_RECORDINTERRUPTED = platform::WM_USER + 2;  // 0x402
constexpr std::uint32_t WM_USER_TRAYNOTIFY = 0x46F;
constexpr std::uint32_t WM_USER_FLASHFRAME = 0x470;  // wParam 0 show, 1 hide

constexpr int SC_MINIMIZE = 0xF020;
constexpr int SC_CLOSE = 0xF060;
constexpr int SC_RESTORE = 0xF120;

// Click marks handed to the recording: 1 left, 2 right.
constexpr int kClickLeft = 1;
constexpr int kClickRight = 2;

}  // namespace app
