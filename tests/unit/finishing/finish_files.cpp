#include "finish_files.h"

#include "../media/media_test_util.h"
#include "platform/core/paths.h"
#include "platform/media/avi_writer.h"
#include "support/test_support.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace finishtest {

using namespace platform::media;

namespace {
std::string LogPath() { return platform::GetProgramFolder() + "Diary/RiviveZuzuve.log"; }
}  // namespace

void WriteVideo(const std::string& path, int frames, bool closed) {
    AviFile* file = nullptr;
    AviStream *stream = nullptr, *compressed = nullptr;
    ASSERT_EQ(AVIFileOpen(&file, path), AVIERR_OK);
    AVISTREAMINFO info;
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = kVideoRate;
    info.rcFrame = platform::Rect{0, 0, kVideoWidth, kVideoHeight};
    ASSERT_EQ(AVIFileCreateStream(file, &stream, info), AVIERR_OK);
    AVICOMPRESSOPTIONS o;
    o.fccType = streamtypeVIDEO;
    o.fccHandler = MakeFourCC('M', 'S', 'V', 'C');
    o.dwKeyFrameEvery = 10;
    o.dwQuality = 6500;
    o.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    ASSERT_EQ(AVIMakeCompressedStream(&compressed, stream, o), AVIERR_OK);
    BITMAPINFOHEADER b{};
    b.biSize = 40;
    b.biWidth = kVideoWidth;
    b.biHeight = kVideoHeight;
    b.biPlanes = 1;
    b.biBitCount = 24;
    b.biSizeImage = static_cast<std::uint32_t>(mediatest::Stride(kVideoWidth) * kVideoHeight);
    ASSERT_EQ(AVIStreamSetFormat(compressed, 0, &b, sizeof b), AVIERR_OK);
    for (int i = 0; i < frames; ++i) {
        const mediatest::Frame f = mediatest::NaturalDib(kVideoWidth, kVideoHeight, i);
        ASSERT_EQ(AVIStreamWrite(compressed, i, 1, f.data(), f.size(), 0), AVIERR_OK);
    }
    // Every write reaches the file at once: what is there now is what a crash would leave.
    const std::string unclosed = closed ? std::string() : testsupport::ReadFile(path);
    AVIFileRelease(file);
    AVIStreamRelease(stream);
    AVIStreamRelease(compressed);
    if (!closed) testsupport::WriteFile(path, unclosed);
}

platform::WAVEFORMATEX Pcm22050Mono() {
    platform::WAVEFORMATEX f{};
    f.wFormatTag = platform::WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 22050;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = 44100;
    return f;
}

void WriteWave(const std::string& path, double seconds) {
    const platform::WAVEFORMATEX f = Pcm22050Mono();
    const auto frames = static_cast<std::uint32_t>(seconds * f.nSamplesPerSec);
    std::string data;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto s = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / f.nSamplesPerSec));
        data.push_back(static_cast<char>(s & 0xFF));
        data.push_back(static_cast<char>((s >> 8) & 0xFF));
    }
    auto le32 = [](std::uint32_t v) {
        return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
    };
    const std::string fmt(reinterpret_cast<const char*>(&f), 16);
    const std::string file = "RIFF" + le32(static_cast<std::uint32_t>(4 + 8 + 16 + 8 + data.size())) + "WAVE" +
                             "fmt " + le32(16) + fmt + "data" + le32(static_cast<std::uint32_t>(data.size())) + data;
    std::ofstream(path, std::ios::binary) << file;
}

LogMark::LogMark() : start_(testsupport::ReadFile(LogPath()).size()) {}

std::string LogMark::Since() const {
    const std::string log = testsupport::ReadFile(LogPath());
    return log.size() >= start_ ? log.substr(start_) : log;
}

ReadOnlyFolder::ReadOnlyFolder(const std::string& path) : path_(path) {
    std::filesystem::create_directories(path);
    if (::geteuid() == 0) {
        mounted_ = ::mount("tmpfs", path.c_str(), "tmpfs", MS_RDONLY, "size=1m") == 0;
        EXPECT_TRUE(mounted_) << "a read-only tmpfs on " << path;
    } else {
        ::chmod(path.c_str(), 0555);
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    else ::chmod(path_.c_str(), 0755);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace finishtest
