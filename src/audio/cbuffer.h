#pragma once
// CBuffer: a pointer and a byte length, owning the bytes only when `bOwns` is set. The allocating
// form reports exhausted memory with a box and yields an empty buffer.
// Thread contract: none of its own.
#include <cstdint>

namespace audio {

class CBuffer {
public:
    // Allocates `length` bytes (not owned: the capture header that takes them frees them).
    explicit CBuffer(std::uint32_t length);
    // A view of existing bytes; a null pointer gives an empty buffer.
    CBuffer(void* data, std::uint32_t length);
    virtual ~CBuffer();
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;

    void* ptr = nullptr;
    std::uint32_t ByteLen = 0;
    bool bOwns = false;
};

}  // namespace audio
