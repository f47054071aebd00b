#pragma once
// Stand-ins for the screen, the frame window, the AVI calls, the clock and sound capture.
#include "platform/core/paths.h"
#include "platform/x11/frame_window_host.h"
#include "platform/x11/screen_source.h"
#include "recording/avi_api.h"
#include "recording/frame_capture.h"
#include "recording/record_clock.h"
#include "support/test_support.h"
#include "audio/sound_capture.h"
#include "companions/phrasebook/phrasebook.h"

#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace rectest {

// A screen filled with one colour per pixel from `colour(x, y)` (0x00RRGGBB), 1920 × 1080.
class FakeScreen : public platform::ScreenSource {
public:
    std::function<std::uint32_t(int, int)> colour = [](int, int) { return 0xFFFFFFu; };
    platform::Point pointer{-1000, -1000};
    std::function<void()> onGrab;
    int grabs = 0;
    bool readable = true;  // false: nothing can be read, the rows come back black

    bool Grab(int left, int top, int width, int height, std::uint8_t* rows, int stride) override {
        ++grabs;
        if (onGrab) onGrab();
        if (!readable) {
            std::memset(rows, 0, static_cast<std::size_t>(height) * stride);
            return false;
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = rows + static_cast<std::size_t>(height - 1 - y) * stride + x * 3;
                std::uint32_t c = colour(left + x, top + y);
                p[0] = c & 0xFF;
                p[1] = (c >> 8) & 0xFF;
                p[2] = (c >> 16) & 0xFF;
            }
        return true;
    }
    platform::Point PointerPosition() override { return pointer; }
};

// Records what the frame window is asked to do, as text.
class FakeFrameHost : public platform::FrameWindowHost {
public:
    explicit FakeFrameHost(std::vector<std::string>* calls) : calls_(calls) {}
    void SetRegion(std::vector<platform::Rect> rects) override {
        region = std::move(rects);
        calls_->push_back("region");
    }
    void Fill(platform::Rect r, std::uint32_t colour) override {
        char text[96];
        std::snprintf(text, sizeof text, "fill %d,%d,%d,%d %06X", r.left, r.top, r.right, r.bottom,
                      colour);
        calls_->push_back(text);
    }
    void Show() override { calls_->push_back("show"); }
    void Hide() override { calls_->push_back("hide"); }
    std::vector<platform::Rect> region;

private:
    std::vector<std::string>* calls_;
};

// A clock that only moves when slept on, or to the next scripted reading when read.
class FakeClock : public recording::RecordClock {
public:
    std::uint32_t now = 0;
    std::deque<std::uint32_t> readings;
    std::vector<std::uint32_t> sleeps;
    std::function<void()> onSleep;
    std::uint32_t Now() override {
        if (!readings.empty()) {
            now = readings.front();
            readings.pop_front();
        }
        return now;
    }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
        if (onSleep) onSleep();
    }
};

class FakeSound : public audio::SoundCapture {
public:
    std::vector<std::string> calls;
    void OpenSoundFile() override { calls.push_back("open"); }
    bool startResult = true;
    bool StartAudioRecording() override {
        calls.push_back("start");
        return startResult;
    }
    void PauseAt(std::uint32_t ms) override { calls.push_back("pause@" + std::to_string(ms)); }
    void ResumeAt(std::uint32_t ms) override { calls.push_back("resume@" + std::to_string(ms)); }
    // The device's clock: the next reading, none when the list is empty.
    std::deque<std::uint32_t> clockReadings;
    bool ClockMs(std::uint32_t* ms) override {
        if (clockReadings.empty()) return false;
        *ms = clockReadings.front();
        clockReadings.pop_front();
        return true;
    }
    void StopAudioRecording() override { calls.push_back("stop"); }
    void DestroySoundFile() override { calls.push_back("destroy"); }
};

// AVI calls that succeed unless told to fail at one step; records what it was given.
class FakeAvi : public recording::AviApi {
public:
    enum Step { kNone, kOpen, kCreate, kCompress, kFormat, kWrite };
    Step failAt = kNone;
    int failOnWrite = 1;  // with kWrite: the n-th write fails
    std::uint32_t version = 0x010A0000;
    std::function<void(Step)> onStep;

    std::vector<long> positions;
    std::vector<std::size_t> sizes;
    std::vector<std::string> calls;
    platform::media::AVISTREAMINFO info{};
    platform::media::AVICOMPRESSOPTIONS options{};
    platform::media::BITMAPINFOHEADER format{};
    std::size_t formatSize = 0;
    std::string path;

    std::uint32_t VideoForWindowsVersion() override { return version; }
    recording::AVIERR FileOpen(recording::AviFile** file, const std::string& p) override {
        calls.push_back("open");
        path = p;
        if (Fail(kOpen)) return -1;
        *file = reinterpret_cast<recording::AviFile*>(&fileToken_);
        return 0;
    }
    recording::AVIERR FileCreateStream(recording::AviFile*, recording::AviStream** s,
                                       const platform::media::AVISTREAMINFO& i) override {
        calls.push_back("create");
        info = i;
        if (Fail(kCreate)) return -1;
        *s = reinterpret_cast<recording::AviStream*>(&streamToken_);
        return 0;
    }
    recording::AVIERR MakeCompressedStream(recording::AviStream** c, recording::AviStream*,
                                           const platform::media::AVICOMPRESSOPTIONS& o) override {
        calls.push_back("compress");
        options = o;
        if (Fail(kCompress)) return -1;
        *c = reinterpret_cast<recording::AviStream*>(&compressedToken_);
        return 0;
    }
    recording::AVIERR StreamSetFormat(recording::AviStream*, long, const void* f,
                                      std::size_t size) override {
        calls.push_back("format");
        std::memcpy(&format, f, sizeof format);
        formatSize = size;
        if (Fail(kFormat)) return -1;
        return 0;
    }
    recording::AVIERR StreamWrite(recording::AviStream*, long position, long, const void*,
                                  std::size_t size, std::uint32_t) override {
        if (failAt == kWrite && static_cast<int>(positions.size()) + 1 == failOnWrite) {
            calls.push_back("write-failed");
            return -1;
        }
        positions.push_back(position);
        sizes.push_back(size);
        if (onStep) onStep(kWrite);
        return 0;
    }
    void StreamRelease(recording::AviStream* s) override {
        calls.push_back(s == reinterpret_cast<recording::AviStream*>(&compressedToken_)
                            ? "release-compressed"
                            : "release-stream");
    }
    void FileRelease(recording::AviFile*) override { calls.push_back("release-file"); }
    int writeError = 0;  // the system error a failed step reports
    int FileWriteError(recording::AviFile*) override { return writeError; }

private:
    bool Fail(Step step) {
        if (onStep) onStep(step);
        return failAt == step;
    }
    int fileToken_ = 0, streamToken_ = 0, compressedToken_ = 0;
};

// New lines of the program's log since construction.
class LogTail {
public:
    LogTail() : start_(testsupport::ReadFile(Path()).size()) {}
    std::string Text() const {
        std::string all = testsupport::ReadFile(Path());
        return all.size() >= start_ ? all.substr(start_) : all;
    }
    bool Has(const std::string& line) const { return Text().find(line) != std::string::npos; }

private:
    static std::string Path() { return platform::GetProgramFolder() + "Diary/RiviveZuzuve.log"; }
    std::size_t start_;
};

}  // namespace rectest
