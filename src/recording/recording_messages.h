#pragma once
// Private messages of the main window that concern recording.
#include <cstdint>

namespace recording {

constexpr std::uint32_t WM_USER_RECORDFINISH = 0x401;
constexpr std::uint32_t WM_USER_RECORDINTERRUPTED = 0x402;
constexpr std::uint32_t WM_USER_FLASHFRAME = 0x470;  // wParam 0 show, 1 hide

// Hot-key ids.
constexpr int kHotKeyStart = 0xB1A5;
constexpr int kHotKeyPause = 0xB1A7;
constexpr int kHotKeyStop = 0xB1A9;

}  // namespace recording
