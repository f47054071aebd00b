// An AVI file beyond 1 GiB continues as OpenDML and stays readable to its end.
#include "../../unit/media/media_test_util.h"
#include "platform/media/avi_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace mediatest;
using namespace platform;
using namespace platform::media;

TEST(AviLarge, BeyondOneGibIsOpenDml) {
    testsupport::TempDir dir;
    if (std::filesystem::space(dir.Path()).available < (3ull << 30))
        GTEST_SKIP() << "needs 3 GiB of free disk for a file beyond 1 GiB";
    const std::string path = dir.File("large.avi");
    const int w = 1024, h = 768;  // 49152 blocks: 884736 bytes per frame of noise at full quality
    std::mt19937 rng(5);
    std::vector<Frame> noise;
    for (int i = 0; i < 2; ++i)
        noise.push_back(MakeDib(w, h, [&](int, int) { return Rgb{int(rng() & 255), int(rng() & 255), int(rng() & 255)}; }));
    Writer writer;
    ASSERT_EQ(writer.Open(path, w, h, 30, 10000), AVIERR_OK);
    const long frames = 1300;  // about 1.15 GB, with a few skipped positions
    long positions = 0;
    for (long i = 0; i < frames; ++i) {
        const long pos = i + i / 400;  // one skipped position every 400 frames
        ASSERT_EQ(writer.Write(pos, noise[i % 2]), AVIERR_OK) << i;
        positions = pos + 1;
    }
    writer.Close();

    EXPECT_GT(std::filesystem::file_size(path), (1ull << 30) + (50ull << 20));
    // The first RIFF list is followed by an "AVIX" one.
    std::ifstream in(path, std::ios::binary);
    char head[12];
    in.read(head, 12);
    ASSERT_EQ(std::string(head, 4), "RIFF");
    const std::uint32_t riff_size = static_cast<std::uint8_t>(head[4]) | static_cast<std::uint8_t>(head[5]) << 8 |
                                    static_cast<std::uint8_t>(head[6]) << 16 |
                                    static_cast<std::uint32_t>(static_cast<std::uint8_t>(head[7])) << 24;
    in.seekg(8 + riff_size + (riff_size & 1));
    char next[12];
    in.read(next, 12);
    ASSERT_TRUE(in.good());
    EXPECT_EQ(std::string(next, 4), "RIFF");
    EXPECT_EQ(std::string(next + 8, 4), "AVIX");

    EXPECT_EQ(Probe(path, "codec_name"), "msvideo1");
    EXPECT_EQ(Probe(path, "nb_frames"), std::to_string(positions));
    // Every packet is found, and the last seconds decode.
    const std::string count = Shell("ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                                    "stream=nb_read_packets -of csv=p=0 '" + path + "'");
    EXPECT_GE(std::atol(count.c_str()), frames);
    const std::string tail = Shell("ffmpeg -nostdin -v error -sseof -2 -i '" + path + "' -f null - 2>&1 && echo OK");
    EXPECT_NE(tail.find("OK"), std::string::npos) << tail;
}
