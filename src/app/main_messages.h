#pragma once
// Private messages of the main window and the system commands it handles.
#include "platform/core/types.h"
#include "recording/record_job.h"
#include "recording/recording_messages.h"

namespace app {

using recording::WM_USER_FLASHFRAME;
using recording::WM_USER_RECORDFINISH;
using recording::WM_USER_RECORDINTERRUPTED;
constexpr std::uint32_t WM_USER_TRAYNOTIFY = 0x46F;

constexpr int SC_MINIMIZE = 0xF020;
constexpr int SC_CLOSE = 0xF060;
constexpr int SC_RESTORE = 0xF120;

using recording::kClickLeft;
using recording::kClickRight;

}  // namespace app
