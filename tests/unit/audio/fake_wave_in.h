#pragma once
// A wave-in device for tests: buffers are filled on request with a byte pattern and handed back
// as MM_WIM_DATA to the callback window, like the real device; any call can be made to fail.
#include "platform/core/messages.h"
#include "platform/sound/wave_in.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace audiotest {

class FakeWaveIn : public platform::WaveInApi {
public:
    // Calls by name ("open", "prepare", "unprepare", "add", "start", "stop", "reset", "close").
    void Fail(const std::string& call, platform::MMRESULT error) { failures_[call] = error; }
    void Heal(const std::string& call) { failures_.erase(call); }

    // Fills the head buffer with `value` bytes and hands it back; false when none is queued.
    bool FillOne(char value);
    std::size_t Queued() const;
    bool Open() const;

    std::uint32_t waveInGetNumDevs() override { return 1; }
    platform::MMRESULT waveInGetDevCaps(std::uint32_t, platform::WAVEINCAPS*, std::uint32_t) override;
    platform::MMRESULT waveInOpen(platform::HWAVEIN* device, std::uint32_t, const platform::WAVEFORMATEX*,
                                  platform::WindowHandle callback, std::uintptr_t, std::uint32_t) override;
    platform::MMRESULT waveInPrepareHeader(platform::HWAVEIN, platform::WAVEHDR*, std::uint32_t) override;
    platform::MMRESULT waveInUnprepareHeader(platform::HWAVEIN, platform::WAVEHDR*, std::uint32_t) override;
    platform::MMRESULT waveInAddBuffer(platform::HWAVEIN, platform::WAVEHDR*, std::uint32_t) override;
    platform::MMRESULT waveInStart(platform::HWAVEIN) override;
    platform::MMRESULT waveInStop(platform::HWAVEIN) override;
    platform::MMRESULT waveInReset(platform::HWAVEIN) override;
    platform::MMRESULT waveInClose(platform::HWAVEIN) override;
    platform::MMRESULT waveInGetErrorTextA(platform::MMRESULT error, char* text, std::uint32_t size) override {
        return platform::WaveInErrorText(error, text, size);
    }

    // Kept-ready requests not yet let go, and what the start reports.
    int keptReady = 0;
    platform::WaveInStartInfo startInfo;
    void waveInKeepReady(bool ready) override { keptReady += ready ? 1 : -1; }
    platform::MMRESULT waveInGetStartInfo(platform::HWAVEIN, platform::WaveInStartInfo* info) override {
        *info = startInfo;
        return platform::MMSYSERR_NOERROR;
    }

    static constexpr platform::HWAVEIN kHandle = 77;

private:
    // The injected failure of `call`, else MMSYSERR_INVALHANDLE for a device that is not open.
    platform::MMRESULT Check(const std::string& call, platform::HWAVEIN device) const;
    void HandBack(platform::WAVEHDR* header);

    mutable std::recursive_mutex mutex_;
    std::map<std::string, platform::MMRESULT> failures_;
    std::deque<platform::WAVEHDR*> queue_;
    platform::WindowHandle callback_ = 0;
    bool open_ = false;
};

}  // namespace audiotest
