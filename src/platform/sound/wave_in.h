#pragma once
// Wave-in: sound capture from the default capture device into caller-owned buffers.
//
// A caller opens the device with a PCM format and a callback window, prepares buffer headers,
// adds them to the device queue and starts capture. The device's own thread fills the buffer at
// the head of the queue; each filled buffer is handed back, in queue order, as MM_WIM_DATA
// (wParam: the device handle, lParam: the WAVEHDR*) posted to the callback window. Reset stops
// capture and hands back every queued buffer the same way, the partly filled one with the length
// actually recorded. While no buffer is queued nothing recorded is thrown away: the sound server
// keeps it (at least two seconds) until a buffer comes back. Capture begins with the sound of the
// instant of the start: what the server holds from before it is left out, and time the server did
// not capture (a monitor source delivers nothing for what its sink had already played ahead
// before the device was opened) is filled with silence; waveInGetStartInfo tells how much.
//
// Thread contract: every call may come from any thread; calls on one handle are serialised by the
// device. Calls on a closed handle fail with MMSYSERR_INVALHANDLE. The headers and their data
// belong to the caller and must stay valid until handed back.
#include "platform/core/types.h"
#include "platform/core/wave_format.h"
#include "platform/sound/mmio.h"

#include <cstdint>

namespace platform {

using HWAVEIN = std::uintptr_t;  // 0: no device

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMSYSERR_HANDLEBUSY = 12;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;
constexpr MMRESULT WAVERR_SYNC = 35;

constexpr std::uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
constexpr std::uint32_t CALLBACK_WINDOW = 0x00010000u;

// Header flags.
constexpr std::uint32_t WHDR_DONE = 0x01;
constexpr std::uint32_t WHDR_PREPARED = 0x02;
constexpr std::uint32_t WHDR_INQUEUE = 0x10;

struct WAVEHDR {
    char* lpData;
    std::uint32_t dwBufferLength;
    std::uint32_t dwBytesRecorded;
    std::uintptr_t dwUser;
    std::uint32_t dwFlags;
    std::uint32_t dwLoops;
    WAVEHDR* lpNext;
    std::uintptr_t reserved;
};

// Capability bits: rate 1 = 11025, 2 = 22050, 4 = 44100 Hz; M/S mono/stereo; 08/16 bits.
constexpr std::uint32_t WAVE_FORMAT_1M08 = 0x001;
constexpr std::uint32_t WAVE_FORMAT_1S08 = 0x002;
constexpr std::uint32_t WAVE_FORMAT_1M16 = 0x004;
constexpr std::uint32_t WAVE_FORMAT_1S16 = 0x008;
constexpr std::uint32_t WAVE_FORMAT_2M08 = 0x010;
constexpr std::uint32_t WAVE_FORMAT_2S08 = 0x020;
constexpr std::uint32_t WAVE_FORMAT_2M16 = 0x040;
constexpr std::uint32_t WAVE_FORMAT_2S16 = 0x080;
constexpr std::uint32_t WAVE_FORMAT_4M08 = 0x100;
constexpr std::uint32_t WAVE_FORMAT_4S08 = 0x200;
constexpr std::uint32_t WAVE_FORMAT_4M16 = 0x400;
constexpr std::uint32_t WAVE_FORMAT_4S16 = 0x800;
constexpr std::uint32_t WAVE_FORMAT_ALL12 = 0xFFF;

struct WAVEINCAPS {
    std::uint16_t wMid;
    std::uint16_t wPid;
    std::uint32_t vDriverVersion;
    char szPname[32];
    std::uint32_t dwFormats;
    std::uint16_t wChannels;
    std::uint16_t wReserved1;
};

// How the first buffers after a start met the sound the server delivered.
struct WaveInStartInfo {
    bool known = false;               // false until the start has been placed in the sound
    std::uint32_t droppedBytes = 0;   // held by the server from before the start, left out
    std::uint32_t silenceBytes = 0;   // not captured by the server, filled with silence
};

// The wave-in calls, behind an interface so that tests can stand in for the device.
class WaveInApi {
public:
    virtual ~WaveInApi() = default;
    virtual std::uint32_t waveInGetNumDevs() = 0;
    virtual MMRESULT waveInGetDevCaps(std::uint32_t deviceId, WAVEINCAPS* caps, std::uint32_t size) = 0;
    // deviceId WAVE_MAPPER or 0; flags CALLBACK_WINDOW with `callback` the window to post to.
    virtual MMRESULT waveInOpen(HWAVEIN* device, std::uint32_t deviceId, const WAVEFORMATEX* format,
                                WindowHandle callback, std::uintptr_t instance, std::uint32_t flags) = 0;
    virtual MMRESULT waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t size) = 0;
    virtual MMRESULT waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t size) = 0;
    virtual MMRESULT waveInAddBuffer(HWAVEIN device, WAVEHDR* header, std::uint32_t size) = 0;
    virtual MMRESULT waveInStart(HWAVEIN device) = 0;
    // Stops capture; a partly filled head buffer is handed back, empty ones stay queued.
    virtual MMRESULT waveInStop(HWAVEIN device) = 0;
    virtual MMRESULT waveInReset(HWAVEIN device) = 0;
    // Fails with WAVERR_STILLPLAYING while buffers are queued.
    virtual MMRESULT waveInClose(HWAVEIN device) = 0;
    // Text of an error code, at most size - 1 characters; MMSYSERR_BADERRNUM for an unknown code.
    virtual MMRESULT waveInGetErrorTextA(MMRESULT error, char* text, std::uint32_t size) = 0;
    // Keeps the default capture device ready for a start that finds sound at once (true), or lets
    // it go (false); calls are counted, the device is kept while more asked for it than let go.
    // A sound server's monitor source hands a newly opened device nothing of what its sink has
    // already rendered ahead of what is heard, up to seconds while only players that ask for no
    // particular latency play; a device kept ready holds the sink at capture's short latency.
    // Nothing is recorded meanwhile.
    virtual void waveInKeepReady(bool ready) { (void)ready; }
    // Time since the last start by the device's own sample clock, in microseconds; fails (leaving
    // `microseconds` alone) while the start is not yet placed or on a device that cannot tell.
    virtual MMRESULT waveInGetClock(HWAVEIN device, std::int64_t* microseconds) {
        (void)device;
        (void)microseconds;
        return MMSYSERR_NOTSUPPORTED;
    }
    // Where the last start met the delivered sound; a device that cannot tell leaves `info` unknown.
    virtual MMRESULT waveInGetStartInfo(HWAVEIN device, WaveInStartInfo* info) {
        (void)device;
        if (info) *info = {};
        return MMSYSERR_NOTSUPPORTED;
    }
};

// The process's wave-in over the sound server.
WaveInApi& SystemWaveIn();

// The fixed texts of the wave-in error codes (shared by every implementation).
MMRESULT WaveInErrorText(MMRESULT error, char* text, std::uint32_t size);

}  // namespace platform
