#pragma once
// ShowSelectedArea: process-wide mirror of the Select Area page's "Show Selected Area" check box
// (starts 1, not stored). Written by that page on the user-interface thread, read by the main
// window and the overlays.
#include <atomic>
#include <cstdint>

namespace app {

inline std::atomic<std::int32_t> ShowSelectedArea{1};

}  // namespace app
