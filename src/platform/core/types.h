#pragma once
// Small Windows-shaped value types used across the recorder.
#include <cstdint>

namespace platform {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window as seen by PostMessage/SendMessage and the companion libraries: 0 is no window.
using WindowHandle = std::uint64_t;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Message numbers the recorder uses.
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_HOTKEY = 0x0312;
constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uint32_t MM_WIM_DATA = 0x03C0;

}  // namespace platform
