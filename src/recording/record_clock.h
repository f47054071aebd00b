#pragma once
// The millisecond clock and the sleep of the frame loop, replaceable so that pacing can be
// driven without waiting.
// Thread contract: the clock is used by the recording thread only.
#include <cstdint>

namespace recording {

class RecordClock {
public:
    virtual ~RecordClock() = default;
    // Milliseconds of a steady system timer, wrapping at 2^32.
    virtual std::uint32_t Now() = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

RecordClock& SystemClock();

}  // namespace recording
