// Flash and beep: a picture-and-sound stimulus for measuring how well a recording keeps them in
// step. A borderless window turns white for 100 ms every 2 s; at the same instants a 100 ms beep
// is heard from the default sink. Between beeps a quiet low tone plays, so that the sound is never
// digital silence. The beep is placed by the sound server's own account of when each written
// sample will be played (the stream's interpolated time), so it is heard when the window turns
// white.
//
//   rz_flash_beep X Y WIDTH HEIGHT SECONDS
//
// Prints "base <CLOCK_MONOTONIC microseconds>" (the instant of the first flash) once the sound
// runs, then "flash <n> late <microseconds>" for every flash: how long after its instant the
// window had really turned white (a loaded machine may draw late; a test can leave such flashes
// out). Exits after SECONDS.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pulse/pulseaudio.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr std::int64_t kPeriodUs = 2000000;
constexpr std::int64_t kFlashUs = 100000;
constexpr double kBeepHz = 1000, kBeepLevel = 0.5;
constexpr double kToneHz = 200, kToneLevel = 0.03;

std::int64_t NowUs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1000000 + t.tv_nsec / 1000;
}

void SleepUntilUs(std::int64_t us) {
    timespec t{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

struct Sound {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::atomic<std::int64_t> base{0};  // first flash instant; 0 until chosen
    std::uint64_t written = 0;          // samples written so far

    // Fills what the server asks for; each sample is a beep when it will be heard inside a flash.
    void Write(std::size_t bytes) {
        pa_usec_t playing = 0;  // stream time being heard now
        const bool timed = pa_stream_get_time(stream, &playing) == 0;
        const std::int64_t now = NowUs();
        std::vector<std::int16_t> samples(bytes / sizeof(std::int16_t));
        const std::int64_t first = base.load();
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const std::uint64_t n = written + i;
            double value = kToneLevel * std::sin(2 * std::numbers::pi * kToneHz * n / kRate);
            if (timed && first != 0) {
                const std::int64_t heardAt =
                    now + static_cast<std::int64_t>(n * 1000000 / kRate) - static_cast<std::int64_t>(playing);
                const std::int64_t since = heardAt - first;
                if (since >= 0 && since % kPeriodUs < kFlashUs)
                    value += kBeepLevel * std::sin(2 * std::numbers::pi * kBeepHz * (since % kPeriodUs) / 1e6);
            }
            samples[i] = static_cast<std::int16_t>(std::lround(value * 32767));
        }
        written += samples.size();
        pa_stream_write(stream, samples.data(), samples.size() * sizeof(std::int16_t), nullptr, 0,
                        PA_SEEK_RELATIVE);
    }

    bool Open() {
        loop = pa_threaded_mainloop_new();
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "flash-beep");
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return false;
        pa_threaded_mainloop_start(loop);
        for (int i = 0; i < 500; ++i) {
            pa_threaded_mainloop_lock(loop);
            pa_context_state_t state = pa_context_get_state(context);
            pa_threaded_mainloop_unlock(loop);
            if (state == PA_CONTEXT_READY) break;
            if (!PA_CONTEXT_IS_GOOD(state)) return false;
            SleepUntilUs(NowUs() + 10000);
        }
        pa_threaded_mainloop_lock(loop);
        pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
        stream = pa_stream_new(context, "flash-beep", &spec, nullptr);
        pa_stream_set_write_callback(
            stream, [](pa_stream*, std::size_t bytes, void* self) { static_cast<Sound*>(self)->Write(bytes); },
            this);
        // A short buffer keeps the beep close to the moment it is written; the server's timing
        // places it exactly.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = kRate * 2 * 30 / 1000;
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = kRate * 2 * 5 / 1000;
        attr.fragsize = static_cast<std::uint32_t>(-1);
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                                    PA_STREAM_AUTO_TIMING_UPDATE);
        const bool connected = pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) == 0;
        pa_threaded_mainloop_unlock(loop);
        return connected;
    }

    ~Sound() {
        if (loop) pa_threaded_mainloop_stop(loop);
        if (stream) pa_stream_unref(stream);
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop) pa_threaded_mainloop_free(loop);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT SECONDS\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    const std::int64_t seconds = std::atoll(argv[5]);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    Window window = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XStoreName(display, window, "Flash and beep");
    XMapRaised(display, window);
    GC gc = XCreateGC(display, window, 0, nullptr);
    auto paint = [&](unsigned long pixel) {
        XSetForeground(display, gc, pixel);
        XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(display, False);
    };
    paint(BlackPixel(display, screen));

    Sound sound;
    if (!sound.Open()) {
        std::fprintf(stderr, "no sound server\n");
        return 1;
    }
    // Half a second for the stream to settle, then the first flash on a whole period.
    const std::int64_t base = NowUs() + 500000;
    sound.base = base;
    std::printf("base %lld\n", static_cast<long long>(base));
    std::fflush(stdout);

    const std::int64_t end = base + seconds * 1000000;
    for (std::int64_t n = 0, at = base; at < end; ++n, at += kPeriodUs) {
        SleepUntilUs(at);
        XRaiseWindow(display, window);
        paint(WhitePixel(display, screen));
        std::printf("flash %lld late %lld\n", static_cast<long long>(n), static_cast<long long>(NowUs() - at));
        std::fflush(stdout);
        SleepUntilUs(at + kFlashUs);
        paint(BlackPixel(display, screen));
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
