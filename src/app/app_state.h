#pragma once
// Flags of the main window that other threads read or write (one writer each).
#include <atomic>
#include <cstdint>

namespace app {

struct MainFlags {
    std::atomic<std::int32_t> IsRecording{0};
    std::atomic<std::int32_t> HookInstalled{0};
    std::atomic<std::int32_t> Converting{0};
    std::atomic<std::int32_t> CancelConvert{0};
};

}  // namespace app
