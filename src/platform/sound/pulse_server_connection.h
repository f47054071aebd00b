#pragma once
// A connection to the sound server on a threaded main loop of its own, and the waits and queries
// the wave-in device needs on it. Every wait gives up after five seconds, so that a server that
// accepts a connection and never answers cannot hold the caller.
// Thread contract: Lock() before any call on the context or its streams from outside the loop's
// thread; the loop's callbacks run with the lock held.
#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

#include <string>

namespace platform {

constexpr const char* kClientName = "Rivive Zuzuve";
constexpr pa_usec_t kAnswerTimeoutUs = 5 * PA_USEC_PER_SEC;

class SoundServerConnection {
public:
    SoundServerConnection() {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) return;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), kClientName);
        if (!context_) return;
        pa_context_set_state_callback(context_, &SoundServerConnection::Signal, loop_);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return;
        Lock();
        if (pa_threaded_mainloop_start(loop_) < 0) {
            Unlock();
            return;
        }
        running_ = true;
        ready_ = WaitFor([this] {
                     pa_context_state_t state = pa_context_get_state(context_);
                     return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
                 }) &&
                 pa_context_get_state(context_) == PA_CONTEXT_READY;
        Unlock();
    }

    ~SoundServerConnection() {
        if (context_) {
            if (running_) Lock();
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            if (running_) Unlock();
        }
        if (running_) pa_threaded_mainloop_stop(loop_);
        if (context_) pa_context_unref(context_);
        if (loop_) pa_threaded_mainloop_free(loop_);
    }

    SoundServerConnection(const SoundServerConnection&) = delete;
    SoundServerConnection& operator=(const SoundServerConnection&) = delete;

    bool Ready() const { return ready_; }
    pa_threaded_mainloop* Loop() const { return loop_; }
    pa_context* Context() const { return context_; }
    void Lock() { pa_threaded_mainloop_lock(loop_); }
    void Unlock() { pa_threaded_mainloop_unlock(loop_); }

    // Waits (lock held) until `done` holds, at most kAnswerTimeoutUs; false when it timed out.
    template <typename Done>
    bool WaitFor(Done done) {
        struct Timer {
            pa_threaded_mainloop* loop;
            bool expired = false;
        } timer{loop_};
        pa_time_event* event = pa_context_rttime_new(
            context_, pa_rtclock_now() + kAnswerTimeoutUs,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
                auto* t = static_cast<Timer*>(user);
                t->expired = true;
                pa_threaded_mainloop_signal(t->loop, 0);
            },
            &timer);
        while (!done() && !timer.expired) pa_threaded_mainloop_wait(loop_);
        if (event) pa_threaded_mainloop_get_api(loop_)->time_free(event);
        return done();
    }

    // Waits (lock held) until the operation has run, or cancels it; releases it.
    void Await(pa_operation* op) {
        if (!op) return;
        if (!WaitFor([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; }))
            pa_operation_cancel(op);
        pa_operation_unref(op);
    }

    struct SourceFacts {
        bool exists = false;
        std::string description;
        int channels = 0;
    };

    // The default source, looked up with the lock held.
    SourceFacts DefaultSource() {
        struct Query {
            SoundServerConnection* self;
            std::string name;
            SourceFacts facts;
        } query{this, {}, {}};
        Await(pa_context_get_server_info(
            context_,
            [](pa_context*, const pa_server_info* info, void* user) {
                auto* q = static_cast<Query*>(user);
                if (info && info->default_source_name) q->name = info->default_source_name;
                pa_threaded_mainloop_signal(q->self->loop_, 0);
            },
            &query));
        if (query.name.empty()) return {};
        Await(pa_context_get_source_info_by_name(
            context_, query.name.c_str(),
            [](pa_context*, const pa_source_info* info, int eol, void* user) {
                auto* q = static_cast<Query*>(user);
                if (info && eol == 0) {
                    q->facts.exists = true;
                    q->facts.description = info->description ? info->description : info->name;
                    q->facts.channels = info->sample_spec.channels;
                }
                if (eol != 0) pa_threaded_mainloop_signal(q->self->loop_, 0);
            },
            &query));
        return query.facts;
    }

private:
    static void Signal(pa_context*, void* loop) {
        pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    bool running_ = false;
    bool ready_ = false;
};

}  // namespace platform
