// Wave-in over the sound server: one record stream on the default source per open device, read
// on the device's own thread (a threaded main loop). The stream runs from the open on; until the
// start only its most recent half second is kept. A start asks the server for the stream's timing
// and places the instant of the start in the delivered sound: what was captured before it is left
// out, and time the server never delivered (a monitor source hands a new stream nothing of what
// its sink had already rendered ahead) becomes silence at the head, so that the sound keeps in
// step with the start. The stream's client-side queue holds several seconds, so data waits there
// whenever capture runs and no buffer is queued.
#include "platform/core/messages.h"
#include "platform/sound/pulse_server_connection.h"
#include "platform/sound/wave_in.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
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
constexpr std::uint32_t kKeptBeforeStartMs = 500;  // recent sound kept for placing the start

std::int64_t Microseconds(const struct timeval& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000 + t.tv_usec;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// One open device. Everything below the connection is guarded by the main loop's lock.
struct Device {
    SoundServerConnection server;
    pa_stream* stream = nullptr;
    HWAVEIN handle = 0;
    WindowHandle callback = 0;
    std::uint8_t silence = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t blockAlign = 1;
    bool closed = false;
    bool started = false;
    struct timeval startedAt {};  // wall clock, as the server's timing is stamped
    bool startPending = false;    // the start is not yet placed in the delivered sound
    bool timingArrived = false;   // the timing asked for at the start has come
    std::size_t skipDue = 0;      // bytes from before the start still to leave out
    std::size_t silenceDue = 0;   // bytes of silence still to go before the data
    WaveInStartInfo startInfo;
    std::int64_t startStreamUs = 0;  // stream time heard at the start
    bool clockKnown = false;
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
        if (!started && !closed) KeepRecent();
        while (started && !closed && !queue.empty()) {
            if (startPending && !PlaceStart()) return;
            if (skipDue > 0) {
                if (!Skip()) return;
                continue;
            }
            WAVEHDR* head = queue.front();
            std::size_t room = head->dwBufferLength - head->dwBytesRecorded;
            char* to = head->lpData + head->dwBytesRecorded;
            std::size_t n = 0;
            if (silenceDue > 0) {
                n = std::min(silenceDue, room);
                std::memset(to, silence, n);
                silenceDue -= n;
            } else {
                const void* data = nullptr;
                std::size_t length = 0;
                if (pa_stream_peek(stream, &data, &length) < 0 || length == 0) return;
                n = std::min(length - peekOffset, room);
                if (data)
                    std::memcpy(to, static_cast<const char*>(data) + peekOffset, n);
                else
                    std::memset(to, silence, n);  // a hole in the stream keeps its length as silence
                Consume(length, n);
            }
            head->dwBytesRecorded += static_cast<std::uint32_t>(n);
            if (head->dwBytesRecorded == head->dwBufferLength) {
                queue.pop_front();
                Complete(head);
            }
        }
    }

    // Marks `n` more bytes of the peeked fragment of `length` bytes as used (lock held).
    void Consume(std::size_t length, std::size_t n) {
        peekOffset += n;
        if (peekOffset == length) {
            pa_stream_drop(stream);
            peekOffset = 0;
        }
    }

    // Leaves out sound from before the start; false while none is waiting (lock held).
    bool Skip() {
        const void* data = nullptr;
        std::size_t length = 0;
        if (pa_stream_peek(stream, &data, &length) < 0 || length == 0) return false;
        std::size_t n = std::min(length - peekOffset, skipDue);
        skipDue -= n;
        Consume(length, n);
        return true;
    }

    // Once the timing asked for at the start has come: the stream position heard at the start,
    // against the position of the next byte to read, says how much to leave out or to fill with
    // silence (lock held). False while the timing is still on its way.
    bool PlaceStart() {
        if (!timingArrived) return false;
        startPending = false;
        startInfo = {};
        startInfo.known = true;
        const pa_timing_info* timing = pa_stream_get_timing_info(stream);
        if (!timing || timing->write_index_corrupt || timing->read_index_corrupt) return true;
        // At the timing's stamp the source was capturing the position of the last byte the server
        // wrote plus what the source still held; a monitor's sink had rendered that much ahead of
        // what was heard.
        std::int64_t heardUs = static_cast<std::int64_t>(pa_bytes_to_usec(
                                   static_cast<std::uint64_t>(std::max<std::int64_t>(timing->write_index, 0)),
                                   pa_stream_get_sample_spec(stream))) +
                               static_cast<std::int64_t>(timing->source_usec) -
                               static_cast<std::int64_t>(timing->sink_usec);
        std::int64_t startUs = heardUs + Microseconds(startedAt) - Microseconds(timing->timestamp);
        startStreamUs = startUs;
        clockKnown = true;
        std::int64_t startByte = FloorDiv(startUs * (bytesPerSecond / blockAlign), 1000000) * blockAlign;
        std::int64_t readByte = timing->read_index + static_cast<std::int64_t>(peekOffset);
        if (startByte >= readByte)
            skipDue = static_cast<std::size_t>(startByte - readByte);
        else
            silenceDue = static_cast<std::size_t>(readByte - startByte);
        startInfo.droppedBytes = static_cast<std::uint32_t>(std::min<std::size_t>(skipDue, UINT32_MAX));
        startInfo.silenceBytes = static_cast<std::uint32_t>(std::min<std::size_t>(silenceDue, UINT32_MAX));
        return true;
    }

    // Before the start: keeps only the most recent sound (lock held).
    void KeepRecent() {
        const std::size_t kept = std::size_t{bytesPerSecond} * kKeptBeforeStartMs / 1000;
        const void* data = nullptr;
        std::size_t length = 0;
        while (pa_stream_readable_size(stream) > kept && pa_stream_peek(stream, &data, &length) == 0 &&
               length > 0) {
            pa_stream_drop(stream);
            peekOffset = 0;
        }
    }

    // Forgets what the server delivered and has not been copied (lock held).
    void Discard() {
        const void* data = nullptr;
        std::size_t length = 0;
        while (pa_stream_peek(stream, &data, &length) == 0 && length > 0) pa_stream_drop(stream);
        peekOffset = 0;
    }
};

// A corked record stream on the default source: it asks the source, and the sink a monitor source
// listens to, for capture's latency, and receives no data. Connects on its own loop without
// making the caller wait; a server that is missing or does not answer leaves it idle.
class Standby {
public:
    Standby() {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) return;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), kClientName);
        if (!context_) return;
        pa_context_set_state_callback(context_, &Standby::OnContextState, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return;
        running_ = pa_threaded_mainloop_start(loop_) == 0;
    }
    ~Standby() {
        if (running_) pa_threaded_mainloop_lock(loop_);
        if (stream_) {
            if (pa_stream_get_state(stream_) == PA_STREAM_READY) pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
        }
        if (running_) {
            pa_threaded_mainloop_unlock(loop_);
            pa_threaded_mainloop_stop(loop_);
        }
        if (context_) pa_context_unref(context_);
        if (loop_) pa_threaded_mainloop_free(loop_);
    }
    Standby(const Standby&) = delete;
    Standby& operator=(const Standby&) = delete;

private:
    static void OnContextState(pa_context* context, void* user) {
        auto* self = static_cast<Standby*>(user);
        if (pa_context_get_state(context) != PA_CONTEXT_READY || self->stream_) return;
        const pa_sample_spec spec{PA_SAMPLE_S16LE, 44100, 1};
        self->stream_ = pa_stream_new(context, "Ready to record", &spec, nullptr);
        if (!self->stream_) return;
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragmentMs * PA_USEC_PER_MSEC, &spec));
        attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        pa_stream_connect_record(self->stream_, nullptr, &attr, flags);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool running_ = false;
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
            device.started = true;
            pa_gettimeofday(&device.startedAt);
            device.startPending = true;
            device.skipDue = device.silenceDue = 0;
            device.startInfo = {};
            device.clockKnown = false;
            pa_operation* timing = pa_stream_update_timing_info(
                device.stream,
                [](pa_stream*, int, void* user) {
                    auto* d = static_cast<Device*>(user);
                    d->timingArrived = true;
                    d->Drain();
                },
                &device);
            device.timingArrived = timing == nullptr;  // without timing the head is taken as it comes
            if (timing) pa_operation_unref(timing);
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

    void waveInKeepReady(bool ready) override {
        std::lock_guard lock(standbyMutex_);
        standbyAsked_ += ready ? 1 : -1;
        if (standbyAsked_ > 0 && !standby_)
            standby_ = std::make_unique<Standby>();
        else if (standbyAsked_ <= 0)
            standby_.reset();
    }

    MMRESULT waveInGetClock(HWAVEIN handle, std::int64_t* microseconds) override {
        if (!microseconds) return MMSYSERR_INVALPARAM;
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            pa_usec_t now = 0;
            if (!device.started || !device.clockKnown || pa_stream_get_time(device.stream, &now) < 0)
                return MMSYSERR_ERROR;
            *microseconds = static_cast<std::int64_t>(now) - device.startStreamUs;
            return MMSYSERR_NOERROR;
        });
    }

    MMRESULT waveInGetStartInfo(HWAVEIN handle, WaveInStartInfo* info) override {
        if (!info) return MMSYSERR_INVALPARAM;
        return WithDevice(handle, [&](Device& device) -> MMRESULT {
            *info = device.startInfo;
            return MMSYSERR_NOERROR;
        });
    }

private:
    std::mutex standbyMutex_;
    int standbyAsked_ = 0;
    std::unique_ptr<Standby> standby_;

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
        // The interpolated stream time is the device's clock while capture runs.
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                                    PA_STREAM_AUTO_TIMING_UPDATE);
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
