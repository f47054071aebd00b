#include "audio/cbuffer.h"

#include "platform/core/message_box.h"

#include <new>

namespace audio {

CBuffer::CBuffer(std::uint32_t length) {
    ptr = new (std::nothrow) char[length];
    if (!ptr) {
        platform::MessageBox(0, "Audio buffer space run out.", "Note", platform::MB_OK);
        return;
    }
    ByteLen = length;
}

CBuffer::CBuffer(void* data, std::uint32_t length) {
    if (!data) return;
    ptr = data;
    ByteLen = length;
}

CBuffer::~CBuffer() {
    if (bOwns) delete[] static_cast<char*>(ptr);
}

}  // namespace audio
