// The WAVE file layout written by CSoundFile and the RIFF chunk calls beneath it.
#include "audio/sound_file.h"
#include "platform/sound/mmio.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

using namespace platform;

namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

void Append(audio::CSoundFile& file, const std::string& data) {
    ASSERT_EQ(file.GetMode(), audio::CSoundFile::Writing);
    ASSERT_EQ(mmioWrite(file.Handle(), data.data(), static_cast<long>(data.size())),
              static_cast<long>(data.size()));
}

struct LayoutCase {
    WAVEFORMATEX format;
    std::size_t dataBytes;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.format.wBitsPerSample << " bits, " << c.format.nChannels << " channels, " << c.dataBytes << " bytes";
}

class SoundFileLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SoundFileLayoutTest, HeaderThenDataThenPadByte) {
    const LayoutCase& c = GetParam();
    testsupport::TempDir dir;
    std::string path = dir.File("temp.wav");
    std::string data;
    for (std::size_t i = 0; i < c.dataBytes; ++i) data.push_back(static_cast<char>(i * 7 + 1));
    {
        audio::CSoundFile file(path, c.format);
        // Appended in pieces, as the capture buffers arrive.
        for (std::size_t at = 0; at < data.size(); at += 1000) Append(file, data.substr(at, 1000));
    }
    std::string b = testsupport::ReadFile(path);
    std::size_t pad = c.dataBytes & 1;
    ASSERT_EQ(b.size(), 46 + c.dataBytes + pad);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 18u);
    const auto* f = &c.format;
    EXPECT_EQ(b.substr(20, 18), Bytes({f->wFormatTag & 0xFF, f->wFormatTag >> 8, f->nChannels, 0,
                                       static_cast<int>(f->nSamplesPerSec & 0xFF),
                                       static_cast<int>((f->nSamplesPerSec >> 8) & 0xFF),
                                       static_cast<int>(f->nSamplesPerSec >> 16), 0,
                                       static_cast<int>(f->nAvgBytesPerSec & 0xFF),
                                       static_cast<int>((f->nAvgBytesPerSec >> 8) & 0xFF),
                                       static_cast<int>(f->nAvgBytesPerSec >> 16), 0,
                                       f->nBlockAlign, 0, f->wBitsPerSample, 0, 0, 0}));
    EXPECT_EQ(b.substr(38, 4), "data");
    EXPECT_EQ(Le32(b, 42), c.dataBytes);
    EXPECT_EQ(b.substr(46, c.dataBytes), data);
    if (pad) {
        EXPECT_EQ(b.back(), '\0');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SoundFileLayoutTest,
    ::testing::Values(LayoutCase{{1, 1, 22050, 44100, 2, 16, 0}, 3000},
                      LayoutCase{{1, 1, 22050, 44100, 2, 16, 0}, 0},      // stopped before any data
                      LayoutCase{{1, 1, 11025, 11025, 1, 8, 0}, 2999},    // odd: one pad byte
                      LayoutCase{{1, 2, 44100, 176400, 4, 16, 0}, 12000},
                      LayoutCase{{1, 1, 11025, 11025, 1, 8, 0}, 1}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        return "Bits" + std::to_string(info.param.format.wBitsPerSample) + "Channels" +
               std::to_string(info.param.format.nChannels) + "Bytes" + std::to_string(info.param.dataBytes);
    });

TEST(SoundFileTest, WhileOpenTheLengthsHoldTheirPlaceholders) {
    testsupport::TempDir dir;
    std::string path = dir.File("temp.wav");
    audio::CSoundFile file(path, {1, 1, 22050, 44100, 2, 16, 0});
    // More than the file buffer, so that the header has reached the disk.
    Append(file, std::string(3 * MMIO_DEFAULTBUFFER, 'x'));
    std::string b = testsupport::ReadFile(path);
    ASSERT_GE(b.size(), 46u);
    EXPECT_EQ(Le32(b, 4), 0u);
    EXPECT_EQ(Le32(b, 42), 18u);
}

TEST(SoundFileTest, AnExistingFileIsReplaced) {
    testsupport::TempDir dir;
    std::string path = dir.File("temp.wav");
    testsupport::WriteFile(path, std::string(5000, 'o'));
    { audio::CSoundFile file(path, {1, 1, 22050, 44100, 2, 16, 0}); }
    EXPECT_EQ(testsupport::ReadFile(path).size(), 46u);
}

TEST(SoundFileTest, ExtraFormatBytesAreNotWritten) {
    testsupport::TempDir dir;
    std::string path = dir.File("temp.wav");
    { audio::CSoundFile file(path, {2, 1, 11025, 5666, 256, 4, 32}); }
    std::string b = testsupport::ReadFile(path);
    ASSERT_EQ(b.size(), 46u);
    EXPECT_EQ(Le32(b, 16), 18u);
    EXPECT_EQ(b.substr(36, 6), Bytes({0, 0, 'd', 'a', 't', 'a'}));
}

TEST(SoundFileTest, AFileThatCannotBeOpenedLeavesModeFailedAndNothingOnDisk) {
    testsupport::TempDir dir;
    struct Case {
        const char* what;
        std::string path;
        std::function<void()> prepare;
    };
    int lockFd = -1;
    std::vector<Case> cases{
        {"missing folder", dir.File("missing/temp.wav"), [] {}},
        {"a folder of that name", dir.File("folder.wav"), [&] { mkdir(dir.File("folder.wav").c_str(), 0700); }},
        {"held by another recorder", dir.File("held.wav"),
         [&] {
             testsupport::WriteFile(dir.File("held.wav"), "held");
             lockFd = open(dir.File("held.wav").c_str(), O_RDONLY);
             flock(lockFd, LOCK_EX);
         }},
    };
    for (const Case& c : cases) {
        c.prepare();
        {
            audio::CSoundFile file(c.path, {1, 1, 22050, 44100, 2, 16, 0});
            EXPECT_EQ(file.GetMode(), audio::CSoundFile::Failed) << c.what;
            EXPECT_EQ(file.Handle(), nullptr) << c.what;
        }
        EXPECT_NE(testsupport::ReadFile(c.path).substr(0, 4), "RIFF") << c.what;
    }
    EXPECT_EQ(testsupport::ReadFile(dir.File("held.wav")), "held");
    close(lockFd);
}

TEST(SoundMmioTest, NestedChunksGetTheirSizesAndPadBytes) {
    testsupport::TempDir dir;
    std::string path = dir.File("chunks.riff");
    HMMIO file = mmioOpen(path.c_str(), MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
    ASSERT_NE(file, nullptr);
    MMCKINFO riff{};
    riff.fccType = MakeFourCC('T', 'E', 'S', 'T');
    ASSERT_EQ(mmioCreateChunk(file, &riff, MMIO_CREATERIFF), 0u);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    MMCKINFO odd{};
    odd.ckid = MakeFourCC('o', 'd', 'd', ' ');
    ASSERT_EQ(mmioCreateChunk(file, &odd, 0), 0u);
    EXPECT_EQ(mmioWrite(file, "abc", 3), 3);
    ASSERT_EQ(mmioAscend(file, &odd, 0), 0u);
    EXPECT_EQ(odd.cksize, 3u);
    MMCKINFO even{};
    even.ckid = MakeFourCC('e', 'v', 'e', 'n');
    even.cksize = 2;  // already right: left as it is
    ASSERT_EQ(mmioCreateChunk(file, &even, 0), 0u);
    EXPECT_EQ(mmioWrite(file, "xy", 2), 2);
    ASSERT_EQ(mmioAscend(file, &even, 0), 0u);
    ASSERT_EQ(mmioAscend(file, &riff, 0), 0u);
    ASSERT_EQ(mmioClose(file, 0), 0u);

    EXPECT_EQ(testsupport::ReadFile(path),
              "RIFF" + Bytes({26, 0, 0, 0}) + "TEST" + "odd " + Bytes({3, 0, 0, 0}) + "abc" +
                  Bytes({0}) + "even" + Bytes({2, 0, 0, 0}) + "xy");
}

// While the file grows, a refresh puts the lengths written so far on disk (what a reader finds
// after the writer died); the close still writes the final lengths, also when they happen to
// equal the placeholder the chunk was created with.
TEST(SoundMmioTest, RefreshedSizesAreCurrentOnDiskAndTheCloseStillFixesThem) {
    struct Case {
        std::size_t beforeRefresh, afterRefresh;
    } cases[] = {{0, 18}, {1000, 0}, {4000, 3000}, {3 * MMIO_DEFAULTBUFFER, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.beforeRefresh) + " then " + std::to_string(c.afterRefresh));
        testsupport::TempDir dir;
        std::string path = dir.File("temp.wav");
        {
            audio::CSoundFile file(path, {1, 1, 22050, 44100, 2, 16, 0});
            Append(file, std::string(c.beforeRefresh, 'a'));
            ASSERT_EQ(mmioRefreshSizes(file.Handle()), 0u);
            std::string b = testsupport::ReadFile(path);
            ASSERT_EQ(b.size(), 46 + c.beforeRefresh);
            EXPECT_EQ(Le32(b, 4), 38 + c.beforeRefresh);
            EXPECT_EQ(Le32(b, 42), c.beforeRefresh);
            Append(file, std::string(c.afterRefresh, 'b'));
        }
        std::string b = testsupport::ReadFile(path);
        std::size_t n = c.beforeRefresh + c.afterRefresh;
        ASSERT_EQ(b.size(), 46 + n + (n & 1));
        EXPECT_EQ(Le32(b, 4), 38 + n + (n & 1));
        EXPECT_EQ(Le32(b, 42), n);
    }
}

TEST(SoundMmioTest, WithARefreshIntervalTheSizeOnDiskFollowsTheWrites) {
    testsupport::TempDir dir;
    std::string path = dir.File("chunks.riff");
    HMMIO file = mmioOpen(path.c_str(), MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
    ASSERT_NE(file, nullptr);
    MMCKINFO riff{};
    riff.fccType = MakeFourCC('T', 'E', 'S', 'T');
    ASSERT_EQ(mmioCreateChunk(file, &riff, MMIO_CREATERIFF), 0u);
    mmioSetSizeRefresh(file, 1);
    // Small writes for a good many intervals.
    const auto start = std::chrono::steady_clock::now();
    long written = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(20)) {
        ASSERT_EQ(mmioWrite(file, "abcd", 4), 4);
        written += 4;
    }
    std::string b = testsupport::ReadFile(path);
    const std::uint32_t declared = Le32(b, 4);
    EXPECT_GT(declared, 4u) << "never refreshed";
    EXPECT_EQ(declared % 4, 0u);
    EXPECT_LE(8 + declared, b.size()) << "the size names data that is not on disk";
    ASSERT_EQ(mmioAscend(file, &riff, 0), 0u);
    ASSERT_EQ(mmioClose(file, 0), 0u);
    EXPECT_EQ(Le32(testsupport::ReadFile(path), 4), static_cast<std::uint32_t>(4 + written));
}

}  // namespace
