#include "platform/sound/wave_in.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

const char* TextOf(MMRESULT error) {
    switch (error) {
        case MMSYSERR_NOERROR: return "The specified command was carried out.";
        case MMSYSERR_ERROR: return "Undefined external error.";
        case MMSYSERR_BADDEVICEID: return "There is no sound capture device (the sound server has no source).";
        case MMSYSERR_NOTENABLED: return "The sound capture device is not enabled.";
        case MMSYSERR_ALLOCATED: return "The sound capture device is already in use.";
        case MMSYSERR_INVALHANDLE: return "The sound capture device is not open (invalid handle).";
        case MMSYSERR_NODRIVER: return "No sound server could be reached.";
        case MMSYSERR_NOMEM: return "There is not enough memory available for sound capture.";
        case MMSYSERR_NOTSUPPORTED: return "This function is not supported by the sound capture device.";
        case MMSYSERR_BADERRNUM: return "An error number was specified that is not defined in the system.";
        case MMSYSERR_INVALFLAG: return "An invalid flag was passed to a sound capture function.";
        case MMSYSERR_INVALPARAM: return "An invalid parameter was passed to a sound capture function.";
        case MMSYSERR_HANDLEBUSY: return "The sound capture device is being used by another thread.";
        case WAVERR_BADFORMAT: return "The specified sound format is not supported by the capture device.";
        case WAVERR_STILLPLAYING: return "Buffers are still in the device queue. Reset the device first.";
        case WAVERR_UNPREPARED: return "The wave header was not prepared.";
        case WAVERR_SYNC: return "The device is synchronous and cannot be opened this way.";
        default: return nullptr;
    }
}

}  // namespace

MMRESULT WaveInErrorText(MMRESULT error, char* text, std::uint32_t size) {
    if (!text || size == 0) return MMSYSERR_INVALPARAM;
    const char* known = TextOf(error);
    const char* chosen = known ? known : TextOf(MMSYSERR_BADERRNUM);
    std::size_t n = std::min<std::size_t>(std::strlen(chosen), size - 1);
    std::memcpy(text, chosen, n);
    text[n] = '\0';
    return known ? MMSYSERR_NOERROR : MMSYSERR_BADERRNUM;
}

}  // namespace platform
