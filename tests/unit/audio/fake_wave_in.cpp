#include "fake_wave_in.h"

#include <cstring>

namespace audiotest {

using namespace platform;

MMRESULT FakeWaveIn::Check(const std::string& call, HWAVEIN device) const {
    auto it = failures_.find(call);
    if (it != failures_.end()) return it->second;
    if (!open_.count(device)) return MMSYSERR_INVALHANDLE;
    if (lost_.count(device) && (call == "add" || call == "start")) return MMSYSERR_NODRIVER;
    return MMSYSERR_NOERROR;
}

void FakeWaveIn::HandBack(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    PostMessage(callback_, MM_WIM_DATA, current_, reinterpret_cast<LPARAM>(header));
}

bool FakeWaveIn::FillOne(char value) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    WAVEHDR* header = queue_.front();
    queue_.pop_front();
    std::memset(header->lpData, value, header->dwBufferLength);
    header->dwBytesRecorded = header->dwBufferLength;
    HandBack(header);
    return true;
}

std::size_t FakeWaveIn::Queued() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

bool FakeWaveIn::Open() const {
    std::lock_guard lock(mutex_);
    return !open_.empty();
}

int FakeWaveIn::Opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

void FakeWaveIn::LoseServer(char value, std::uint32_t bytes) {
    std::lock_guard lock(mutex_);
    serverDown_ = true;
    lost_.insert(current_);
    bool head = true;
    while (!queue_.empty()) {
        WAVEHDR* header = queue_.front();
        queue_.pop_front();
        header->dwBytesRecorded = head ? bytes : 0;
        std::memset(header->lpData, value, header->dwBytesRecorded);
        head = false;
        HandBack(header);
    }
}

void FakeWaveIn::ServerBack() {
    std::lock_guard lock(mutex_);
    serverDown_ = false;
}

void FakeWaveIn::SetClock(std::int64_t us) {
    std::lock_guard lock(mutex_);
    clockUs_ = us;
}

MMRESULT FakeWaveIn::waveInGetClock(HWAVEIN device, std::int64_t* microseconds) {
    std::lock_guard lock(mutex_);
    if (device != current_ || lost_.count(device) || !open_.count(device) || clockUs_ < 0) return MMSYSERR_ERROR;
    *microseconds = clockUs_;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInGetDevCaps(std::uint32_t, WAVEINCAPS* caps, std::uint32_t) {
    *caps = WAVEINCAPS{};
    caps->dwFormats = WAVE_FORMAT_ALL12;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInOpen(HWAVEIN* device, std::uint32_t, const WAVEFORMATEX*,
                                WindowHandle callback, std::uintptr_t, std::uint32_t) {
    std::lock_guard lock(mutex_);
    auto it = failures_.find("open");
    if (it != failures_.end()) return it->second;
    if (serverDown_) return MMSYSERR_NODRIVER;
    current_ = kHandle + opens_++;
    open_.insert(current_);
    callback_ = callback;
    *device = current_;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (MMRESULT r = Check("prepare", device)) return r;
    if (!header->lpData || header->dwBufferLength == 0) return MMSYSERR_INVALPARAM;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (MMRESULT r = Check("unprepare", device)) return r;
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInAddBuffer(HWAVEIN device, WAVEHDR* header, std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (MMRESULT r = Check("add", device)) return r;
    if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    header->dwBytesRecorded = 0;
    queue_.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInStart(HWAVEIN device) {
    std::lock_guard lock(mutex_);
    return Check("start", device);
}

MMRESULT FakeWaveIn::waveInStop(HWAVEIN device) {
    std::lock_guard lock(mutex_);
    return Check("stop", device);
}

MMRESULT FakeWaveIn::waveInReset(HWAVEIN device) {
    std::lock_guard lock(mutex_);
    if (MMRESULT r = Check("reset", device)) return r;
    if (device != current_) return MMSYSERR_NOERROR;  // only the device opened last holds buffers
    bool head = true;
    while (!queue_.empty()) {
        WAVEHDR* header = queue_.front();
        queue_.pop_front();
        header->dwBytesRecorded = head ? header->dwBufferLength / 2 : 0;  // a partly filled head
        head = false;
        HandBack(header);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInClose(HWAVEIN device) {
    std::lock_guard lock(mutex_);
    if (MMRESULT r = Check("close", device)) return r;
    if (device == current_ && !queue_.empty()) return WAVERR_STILLPLAYING;
    open_.erase(device);
    return MMSYSERR_NOERROR;
}

}  // namespace audiotest
