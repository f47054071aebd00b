#include "recording/record_clock.h"

#include <chrono>
#include <thread>

namespace recording {

namespace {
class SteadyClock final : public RecordClock {
public:
    std::uint32_t Now() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    }
    void Sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};
}  // namespace

RecordClock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace recording
