#pragma once
// Small real inputs for the finishing stage: a Microsoft Video 1 AVI like the recording thread
// writes, a PCM WAVE file like the sound capture writes, and the log written since a mark.
#include "platform/core/wave_format.h"

#include <string>

namespace finishtest {

constexpr int kVideoWidth = 64, kVideoHeight = 48, kVideoRate = 10;

// `frames` frames at kVideoRate per second. Not `closed`: the file as the recorder leaves it when
// it ends in the middle of a recording (no index, no lengths in the headers).
void WriteVideo(const std::string& path, int frames = 20, bool closed = true);
// Mono 16-bit PCM at 22050 Hz.
void WriteWave(const std::string& path, double seconds = 2.0);
platform::WAVEFORMATEX Pcm22050Mono();

class LogMark {
public:
    LogMark();
    std::string Since() const;

private:
    std::size_t start_;
};

bool Exists(const std::string& path);

// A folder nothing can be written into, even by root: a read-only tmpfs mounted on it when the
// test runs as root, else a folder without write permission. Gone with the object.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& path);
    ~ReadOnlyFolder();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace finishtest
