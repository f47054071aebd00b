// Wave-in over the sound server: one record stream on the default source per open device, read
// on the device's own thread (a threaded main loop). The stream runs from the open on; what
// arrives while capture is stopped is dropped, so that a start begins with fresh data at once.
// The stream's client-side queue holds several seconds, so data waits there whenever capture
// runs and no buffer is queued.
#include "platform/core/messages.h"
#include "platform/sound/pulse_server_connection.h"
#include "platform/sound/wave_in.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {

namespace {

constexpr std::uint32_t kKeptSeconds = 4;   // what the server side keeps while no buffer is queued
constexpr std::uint32_t kFragmentMs = 10;   // how often the device thread is handed new data
// A server that delivers its first data later than this after the start (a monitor of an idle
// sink does so for up to two seconds) leaves a hole at the head, kept as silence so that the
// sound stays in step with the start of capture.
constexpr double kLateStartSeconds = 0.060;

// One open device. Everything below the connection is guarded by the main loop's lock.
struct Device {
    SoundServerConnection server;
    pa_stream* stream = nullptr;
    HWAVEIN handle = 0;
    WindowHandle callback = 0;
    std::uint8_t silence = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t blockAlign = 1;
    std::chrono::steady_clock::time_point startedAt;
    bool firstDataPending = false;  // the head of capture is not yet measured
    std::size_t silenceDue = 0;     // bytes of silence still to go before the data
    bool closed = false;
    bool started = false;
    std::size_t peekOffset = 0;  // bytes of the current peeked fragment already copied
    std::deque<WAVEHDR*> queue;

    ~Device() {
        if (stream) {
            server.Lock();
            pa_stream_set_read_callback(stream, nullptr, nullptr);
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            if (pa_stream_get_state(stream) == PA_STREAM_READY) pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            server.Unlock();
        }
    }

    // Hands a header back to the callback window (lock held).
    void Complete(WAVEHDR* header) {
        header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        PostMessage(callback, MM_WIM_DATA, static_cast<WPARAM>(handle),
                    reinterpret_cast<LPARAM>(header));
    }

    // Copies whatever the server has delivered into the queued buffers (device thread, lock held).
    void Drain() {
        if (!started && !closed) Discard();
        while (started && !closed && !queue.empty()) {
            if (firstDataPending && !MeasureLateStart()) return;
            WAVEHDR* head = queue.front();
            if (silenceDue > 0) {
                std::size_t n = std::min(silenceDue,
                                         static_cast<std::size_t>(head->dwBufferLength - head->dwBytesRecorded));
                std::memset(head->lpData + head->dwBytesRecorded, silence, n);
                head->dwBytesRecorded += static_cast<std::uint32_t>(n);
                silenceDue -= n;
                if (head->dwBytesRecorded == head->dwBufferLength) {
                    queue.pop_front();
                    Complete(head);
                }
                continue;
            }
            const void* data = nullptr;
            std::size_t length = 0;
            if (pa_stream_peek(stream, &data, &length) < 0 || length == 0) return;
            std::size_t n = std::min(length - peekOffset,
                                     static_cast<std::size_t>(head->dwBufferLength - head->dwBytesRecorded));
            char* to = head->lpData + head->dwBytesRecorded;
            if (data)
                std::memcpy(to, static_cast<const char*>(data) + peekOffset, n);
            else
                std::memset(to, silence, n);  // a hole in the stream keeps its length as silence
            head->dwBytesRecorded += static_cast<std::uint32_t>(n);
            peekOffset += n;
            if (peekOffset == length) {
                pa_stream_drop(stream);
                peekOffset = 0;
            }
            if (head->dwBytesRecorded == head->dwBufferLength) {
                queue.pop_front();
                Complete(head);
            }
        }
    }

    // When the first data after the start arrives: the time since the start that this data does
    // not cover becomes silence at the head (lock held). False while nothing has arrived.
    bool MeasureLateStart() {
        std::size_t readable = pa_stream_readable_size(stream);
        if (readable == 0 || readable == static_cast<std::size_t>(-1)) return false;
        firstDataPending = false;
        double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - startedAt).count();
        double held = static_cast<double>(readable) / bytesPerSecond + kFragmentMs / 1000.0;
        if (waited - held > kLateStartSeconds)
            silenceDue = static_cast<std::size_t>((waited - held) * bytesPerSecond) / blockAlign * blockAlign;
        return true;
    }

    // Forgets what the server delivered and has not been copied (lock held).
    void Discard() {
        const void* data = nullptr;
        std::size_t length = 0;
        while (pa_stream_peek(stream, &data, &length) == 0 && length > 0) pa_stream_drop(stream);
        peekOffset = 0;
    }
};

std::mutex registryMutex;
std::unordered_map<HWAVEIN, std::shared_ptr<Device>>& Registry() {
    static std::unordered_map<HWAVEIN, std::shared_ptr<Device>> registry;
    return registry;
}
std::atomic<HWAVEIN> nextHandle{0x5A000};

std::shared_ptr<Device> Find(HWAVEIN handle) {
    std::lock_guard lock(registryMutex);
    auto it = Registry().find(handle);
    return it == Registry().end() ? nullptr : it->second;
}

// Runs `body` on a live device with its lock held; MMSYSERR_INVALHANDLE otherwise.
template <typename Body>
MMRESULT WithDevice(HWAVEIN handle, Body body) {
    std::shared_ptr<Device> device = Find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    device->server.Lock();
    MMRESULT result = device->closed ? MMSYSERR_INVALHANDLE : body(*device);
    device->server.Unlock();
    return result;
}

bool SupportedFormat(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels != 1 && f.nChannels != 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec != 11025 && f.nSamplesPerSec != 22050 && f.nSamplesPerSec != 44100)
        return false;
    return f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nAvgBytesPerSec == f.nBlockAlign * f.nSamplesPerSec;
}

class PulseWaveIn final : public WaveInApi {
public:
    std::uint32_t waveInGetNumDevs() override {
        SoundServerConnection server;
        if (!server.Ready()) return 0;
        server.Lock();
        bool exists = server.DefaultSource().exists;
        server.Unlock();
        return exists ? 1 : 0;
    }

    MMRESULT waveInGetDevCaps(std::uint32_t deviceId, WAVEINCAPS* caps, std::uint32_t size) override {
        if (!caps || size < sizeof(WAVEINCAPS)) return MMSYSERR_INVALPARAM;
        if (deviceId != 0 && deviceId != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
        SoundServerConnection server;
        if (!server.Ready()) return MMSYSERR_NODRIVER;
        server.Lock();
        SoundServerConnection::SourceFacts source = server.DefaultSource();
        server.Unlock();
        if (!source.exists) return MMSYSERR_BADDEVICEID;
        std::memset(caps, 0, sizeof *caps);
        std::snprintf(caps->szPname, sizeof caps->szPname, "%s", source.description.c_str());
        caps->dwFormats = WAVE_FORMAT_ALL12;
        caps->wChannels = source.channels >= 2 ? 2 : 1;
        return MMSYSERR_NOERROR;
    }

    MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t deviceId, const WAVEFORMATEX* format,
                        WindowHandle callback, std::uintptr_t, std::uint32_t flags) override {
        if (!handle || !format) return MMSYSERR_INVALPARAM;
        if ((flags & CALLBACK_WINDOW) == 0 || callback == 0) return MMSYSERR_INVALFLAG;
        if (deviceId != 0 && deviceId != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
        if (!SupportedFormat(*format)) return WAVERR_BADFORMAT;

        auto device = std::make_shared<Device>();
        if (!device->server.Ready()) return MMSYSERR_NODRIVER;
        device->server.Lock();
        MMRESULT result = Connect(*device, *format);
        device->server.Unlock();
        if (result != MMSYSERR_NOERROR) return result;

        device->handle = nextHandle++;
        device->callback = callback;
        {
            std::lock_guard lock(registryMutex);
            Registry()[device->handle] = device;
        }
        *handle = device->handle;
        return MMSYSERR_NOERROR;
    }

    MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, std::uint32_t size) override {
        return WithDevice(handle, [&](Device&) -> MMRESULT {
            if (!header || size < sizeof(WAVEHDR) || !header->lpData || header->dwBufferLength == 0)
                return MMSYSERR_INVALPARAM;
            if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
            header->dwFlags |= WHDR_PREPARED;
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, std::uint32_t size) override {
        return WithDevice(handle, [&](Device&) -> MMRESULT {
            if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
            if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
            header->dwFlags &= ~WHDR_PREPARED;
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, std::uint32_t size) override {
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
            if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
            if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
            header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
            header->dwBytesRecorded = 0;
            header->lpNext = nullptr;
            device.queue.push_back(header);
            if (device.started) ScheduleDrain(device);
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInStart(HWAVEIN handle) override {
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            if (device.started) return MMSYSERR_NOERROR;
            device.Discard();
            device.started = true;
            device.startedAt = std::chrono::steady_clock::now();
            device.firstDataPending = true;
            device.silenceDue = 0;
            ScheduleDrain(device);
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInStop(HWAVEIN handle) override {
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            if (!device.started) return MMSYSERR_NOERROR;
            device.started = false;
            if (!device.queue.empty() && device.queue.front()->dwBytesRecorded > 0) {
                WAVEHDR* head = device.queue.front();
                device.queue.pop_front();
                device.Complete(head);
            }
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInReset(HWAVEIN handle) override {
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            device.started = false;
            device.Discard();
            while (!device.queue.empty()) {
                WAVEHDR* header = device.queue.front();
                device.queue.pop_front();
                device.Complete(header);
            }
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInClose(HWAVEIN handle) override {
        std::shared_ptr<Device> device = Find(handle);
        if (!device) return MMSYSERR_INVALHANDLE;
        device->server.Lock();
        MMRESULT result = MMSYSERR_NOERROR;
        if (device->closed)
            result = MMSYSERR_INVALHANDLE;
        else if (!device->queue.empty())
            result = WAVERR_STILLPLAYING;
        else {
            device->closed = true;
            device->started = false;
        }
        device->server.Unlock();
        if (result != MMSYSERR_NOERROR) return result;
        std::lock_guard lock(registryMutex);
        Registry().erase(handle);
        // The stream and the connection go with the last reference to the device.
        return MMSYSERR_NOERROR;
    }

    MMRESULT waveInGetErrorTextA(MMRESULT error, char* text, std::uint32_t size) override {
        return WaveInErrorText(error, text, size);
    }

private:
    // Creates the record stream (lock held).
    static MMRESULT Connect(Device& device, const WAVEFORMATEX& format) {
        SoundServerConnection& server = device.server;
        if (!server.DefaultSource().exists) return MMSYSERR_BADDEVICEID;
        pa_sample_spec spec{};
        spec.format = format.wBitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
        spec.rate = format.nSamplesPerSec;
        spec.channels = static_cast<std::uint8_t>(format.nChannels);
        device.silence = format.wBitsPerSample == 8 ? 0x80 : 0;
        device.bytesPerSecond = format.nAvgBytesPerSec;
        device.blockAlign = format.nBlockAlign;
        device.stream = pa_stream_new(server.Context(), "Recording", &spec, nullptr);
        if (!device.stream) return MMSYSERR_NOMEM;
        pa_stream_set_state_callback(
            device.stream,
            [](pa_stream*, void* loop) {
                pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
            },
            server.Loop());
        pa_stream_set_read_callback(
            device.stream, [](pa_stream*, std::size_t, void* user) { static_cast<Device*>(user)->Drain(); },
            &device);
        std::uint32_t align = format.nBlockAlign;
        pa_buffer_attr attr{};
        attr.maxlength = format.nAvgBytesPerSec * kKeptSeconds;
        attr.fragsize = std::max<std::uint32_t>(align, format.nAvgBytesPerSec * kFragmentMs / 1000 / align * align);
        attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_record(device.stream, nullptr, &attr, flags) < 0) return MMSYSERR_ERROR;
        pa_stream* stream = device.stream;
        server.WaitFor([stream] { return pa_stream_get_state(stream) != PA_STREAM_CREATING; });
        return pa_stream_get_state(stream) == PA_STREAM_READY ? MMSYSERR_NOERROR : MMSYSERR_ALLOCATED;
    }

    // Lets the device thread copy what is waiting, now that a buffer or capture is available.
    static void ScheduleDrain(Device& device) {
        pa_mainloop_api_once(
            pa_threaded_mainloop_get_api(device.server.Loop()),
            [](pa_mainloop_api*, void* user) { static_cast<Device*>(user)->Drain(); }, &device);
    }
};

}  // namespace

WaveInApi& SystemWaveIn() {
    static PulseWaveIn waveIn;
    return waveIn;
}

}  // namespace platform
