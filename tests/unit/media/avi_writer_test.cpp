// Writing AVI files in the call sequence of the recording thread, checked with
// ffprobe and libavformat/libavcodec.
#include "media_test_util.h"
#include "platform/media/avi_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <unistd.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace mediatest;
using namespace platform::media;

namespace {


}  // namespace

TEST(AviWriter, VersionIsAtLeast110) { EXPECT_GE(VideoForWindowsVersion() >> 16, 0x010Au); }

TEST(AviWriter, FfprobeReadsOurFile) {
    testsupport::TempDir dir;
    const std::string path = dir.File("a.avi");
    const int w = 160, h = 120;
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, w, h, 15), AVIERR_OK);
        for (int i = 0; i < 10; ++i) ASSERT_EQ(wr.Write(i, NaturalDib(w, h, i * 2)), AVIERR_OK);
    }
    EXPECT_EQ(Probe(path, "codec_name"), "msvideo1");
    EXPECT_EQ(Probe(path, "codec_tag_string"), "MSVC");
    EXPECT_EQ(Probe(path, "width"), "160");
    EXPECT_EQ(Probe(path, "height"), "120");
    EXPECT_EQ(Probe(path, "r_frame_rate"), "15/1");
    EXPECT_EQ(Probe(path, "nb_frames"), "10");
    // Every frame decodes with ffmpeg itself.
    const std::string decoded = Shell("ffmpeg -v error -i '" + path + "' -f null - 2>&1 && echo OK");
    EXPECT_NE(decoded.find("OK"), std::string::npos) << decoded;
}

TEST(AviWriter, SkippedPositionsAreCountedAndHoldThePreviousFrame) {
    testsupport::TempDir dir;
    const std::string path = dir.File("gaps.avi");
    const int w = 64, h = 48;
    const Frame f0 = MakeDib(w, h, [](int, int) { return Rgb{255, 0, 0}; });
    const Frame f20 = MakeDib(w, h, [](int, int) { return Rgb{0, 255, 0}; });
    const Frame f22 = MakeDib(w, h, [](int, int) { return Rgb{0, 0, 255}; });
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, w, h, 20), AVIERR_OK);
        ASSERT_EQ(wr.Write(0, f0), AVIERR_OK);
        ASSERT_EQ(wr.Write(20, f20), AVIERR_OK);
        // Not beyond the last written position: refused.
        EXPECT_NE(wr.Write(20, f22), AVIERR_OK);
        EXPECT_NE(wr.Write(5, f22), AVIERR_OK);
        ASSERT_EQ(wr.Write(22, f22), AVIERR_OK);
    }
    EXPECT_EQ(Probe(path, "nb_frames"), "23");
    EXPECT_EQ(Probe(path, "duration"), "1.150000");

    // Decode position by position: an empty entry shows the previous frame again.
    int pw = 0, ph = 0;
    const std::vector<Packet> packets = ReadVideoPackets(path, &pw, &ph);
    ASSERT_EQ(pw, w);
    ASSERT_EQ(ph, h);
    Decoder dec(w, h);
    std::vector<Rgb> shown(23, Rgb{-1, -1, -1});
    Picture current;
    long expected = 0;
    for (const Packet& p : packets) {
        ASSERT_GE(p.position, expected);
        // Positions the demuxer does not hand out at all are held as well.
        for (; expected < p.position; ++expected) shown[expected] = current.At(0, 0);
        if (!p.data.empty()) {
            ASSERT_TRUE(dec.Decode(p.data, &current));
        }
        shown[p.position] = current.At(0, 0);
        expected = p.position + 1;
    }
    ASSERT_EQ(expected, 23);
    for (int i = 0; i < 23; ++i) {
        const Rgb want = i < 20 ? Rgb{255, 0, 0} : i < 22 ? Rgb{0, 255, 0} : Rgb{0, 0, 255};
        EXPECT_TRUE(shown[i].r == want.r && shown[i].g == want.g && shown[i].b == want.b) << "position " << i;
    }
    // ffmpeg at the stream's rate gives 23 pictures too.
    const std::string frames =
        Shell("ffmpeg -v error -i '" + path + "' -vsync cfr -f framemd5 - 2>/dev/null | grep -c '^0,'");
    EXPECT_EQ(std::stoi(frames), 23);
}

TEST(AviWriter, KeyFramesEveryNWrittenFrames) {
    testsupport::TempDir dir;
    const std::string path = dir.File("keys.avi");
    const int w = 64, h = 64;
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, w, h, 10, 6500, 4), AVIERR_OK);
        for (int i = 0; i < 12; ++i) ASSERT_EQ(wr.Write(i, NaturalDib(w, h, i)), AVIERR_OK);
    }
    const std::vector<Packet> packets = ReadVideoPackets(path);
    ASSERT_EQ(packets.size(), 12u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(packets[i].key, i % 4 == 0) << "frame " << i;
}

TEST(AviWriter, OddSizeIsPaddedInTheStream) {
    testsupport::TempDir dir;
    const std::string path = dir.File("odd.avi");
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, 101, 75, 25), AVIERR_OK);
        ASSERT_EQ(wr.Write(0, NaturalDib(101, 75)), AVIERR_OK);
    }
    EXPECT_EQ(Probe(path, "width"), "104");
    EXPECT_EQ(Probe(path, "height"), "76");
    EXPECT_EQ(Probe(path, "nb_frames"), "1");
}

TEST(AviWriter, ZeroFramesGiveAValidFile) {
    testsupport::TempDir dir;
    const std::string path = dir.File("empty.avi");
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, 320, 240, 20), AVIERR_OK);
    }
    EXPECT_EQ(Probe(path, "codec_name"), "msvideo1");
    const std::string frames = Probe(path, "nb_frames");
    EXPECT_TRUE(frames == "0" || frames == "N/A") << frames;
    EXPECT_EQ(Probe(path, "width"), "320");
    // Even without a format.
    const std::string bare = dir.File("bare.avi");
    AviFile* file = nullptr;
    ASSERT_EQ(AVIFileOpen(&file, bare), AVIERR_OK);
    AVIFileRelease(file);
    EXPECT_EQ(Probe(bare, "codec_type"), "video");
}

TEST(AviWriter, UnwritablePathFailsTheOpen) {
    AviFile* file = nullptr;
    EXPECT_NE(AVIFileOpen(&file, "/nonexistent-folder/x/temp.avi"), AVIERR_OK);
    EXPECT_EQ(file, nullptr);
}

TEST(AviWriter, WrongCallsAreRefused) {
    testsupport::TempDir dir;
    Writer wr;
    ASSERT_EQ(wr.Open(dir.File("w.avi"), 32, 32, 10), AVIERR_OK);
    Frame small(10);
    EXPECT_EQ(AVIStreamWrite(wr.compressed, 0, 1, small.data(), small.size(), 0), AVIERR_BADSIZE);
    AviStream* other = nullptr;
    AVICOMPRESSOPTIONS opts;
    opts.fccType = streamtypeVIDEO;
    opts.fccHandler = MakeFourCC('c', 'v', 'i', 'd');
    EXPECT_EQ(AVIMakeCompressedStream(&other, wr.stream, opts), AVIERR_NOCOMPRESSOR);
    BITMAPINFOHEADER b = Header(32, 32);
    b.biBitCount = 8;
    EXPECT_NE(AVIStreamSetFormat(wr.compressed, 0, &b, sizeof b), AVIERR_OK);
}

TEST(AviWriter, FullDiskFailsAWrite) {
    testsupport::TempDir dir;
    const std::string path = dir.File("full.avi");
    const int w = 256, h = 256;
    std::mt19937 rng(1);
    std::vector<Frame> noise;
    for (int i = 0; i < 2; ++i)
        noise.push_back(MakeDib(w, h, [&](int, int) { return Rgb{int(rng() & 255), int(rng() & 255), int(rng() & 255)}; }));
    // A file size limit stands in for a full disk (EFBIG instead of ENOSPC).
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = old;
    lim.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
    AVIERR failed = AVIERR_OK;
    int error = 0;
    {
        Writer wr;
        ASSERT_EQ(wr.Open(path, w, h, 10, 10000), AVIERR_OK);
        for (int i = 0; i < 40 && failed == AVIERR_OK; ++i) failed = wr.Write(i, noise[i % 2]);
        error = AVIFileWriteError(wr.file);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    struct stat st{};
    stat(path.c_str(), &st);
    EXPECT_EQ(failed, AVIERR_FILEWRITE) << "file size " << st.st_size;
    EXPECT_EQ(error, EFBIG) << "the cause of the failed write is kept";
}

TEST(AviWriter, TheSystemErrorOfAFailedWriteIsKept) {
    // Every write to /dev/full fails as on a full disk.
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    Writer wr;
    AVIERR rc = wr.Open("/dev/full", 64, 64, 10);
    if (rc == AVIERR_OK) rc = wr.Write(0, MakeDib(64, 64, [](int, int) { return Rgb{1, 2, 3}; }));
    EXPECT_EQ(rc, AVIERR_FILEWRITE);
    EXPECT_EQ(AVIFileWriteError(wr.file), ENOSPC);
    Writer fine;
    testsupport::TempDir dir;
    ASSERT_EQ(fine.Open(dir.File("fine.avi"), 64, 64, 10), AVIERR_OK);
    EXPECT_EQ(AVIFileWriteError(fine.file), 0);
}
