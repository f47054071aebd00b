// Our Microsoft Video 1 encoder, proven against libavcodec's msvideo1 decoder.
#include "media_test_util.h"
#include "platform/media/msvideo1_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mediatest;
using platform::media::MsVideo1Encoder;

namespace {

// Flat areas in colours that RGB555 holds exactly, including red level 1 (whose fill word would
// read as a skip code) and the extremes.
Rgb FlatColour(int x, int y) {
    static const Rgb colours[] = {
        {Expand(1), Expand(17), Expand(3)}, {0, 0, 0},        {255, 255, 255},
        {Expand(12), Expand(30), Expand(1)}, {Expand(1), 0, 0}, {Expand(31), Expand(0), Expand(16)},
    };
    // Rectangles not aligned to the 4x4 grid, so blocks hold one or two colours.
    const int i = ((x / 13) + 2 * (y / 7)) % 6;
    return colours[i];
}

}  // namespace

TEST(MsVideo1Encoder, FlatColoursDecodeExactly) {
    const int w = 64, h = 48;
    const Frame src = MakeDib(w, h, FlatColour);
    for (int quality : {0, 5000, 6500, 10000}) {
        MsVideo1Encoder enc(w, h, quality, 20, 1);
        Decoder dec(w, h);
        ASSERT_TRUE(dec.Ok());
        bool key = false;
        Picture pic;
        ASSERT_TRUE(dec.Decode(enc.Encode(src.data(), &key), &pic));
        EXPECT_TRUE(key);
        ASSERT_EQ(pic.w, w);
        ASSERT_EQ(pic.h, h);
        // At full quality every block whose 2x2 quadrants hold at most two colours is exact.
        int wrong = 0;
        for (int by = 0; by < h / 4; ++by)
            for (int bx = 0; bx < w / 4; ++bx) {
                bool representable = true;
                for (int q = 0; q < 4; ++q) {
                    std::vector<int> seen;
                    for (int k = 0; k < 4; ++k) {
                        const Rgb c = DibPixel(src, w, h, bx * 4 + (q & 1) * 2 + (k & 1), by * 4 + (q >> 1) * 2 + (k >> 1));
                        const int v = c.r << 16 | c.g << 8 | c.b;
                        if (std::find(seen.begin(), seen.end(), v) == seen.end()) seen.push_back(v);
                    }
                    representable = representable && seen.size() <= 2;
                }
                if (!representable) continue;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) {
                        const Rgb a = pic.At(bx * 4 + x, by * 4 + y), b = DibPixel(src, w, h, bx * 4 + x, by * 4 + y);
                        wrong += (a.r != b.r || a.g != b.g || a.b != b.b);
                    }
            }
        if (quality == 10000) {
            EXPECT_EQ(wrong, 0);
        }
        // Uniform blocks are exact from quality 5000 up.
        int uniform_wrong = 0;
        for (int by = 0; by < h / 4; ++by)
            for (int bx = 0; bx < w / 4; ++bx) {
                const Rgb c0 = DibPixel(src, w, h, bx * 4, by * 4);
                bool uniform = true;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) {
                        const Rgb c = DibPixel(src, w, h, bx * 4 + x, by * 4 + y);
                        uniform = uniform && c.r == c0.r && c.g == c0.g && c.b == c0.b;
                    }
                if (!uniform) continue;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) {
                        const Rgb a = pic.At(bx * 4 + x, by * 4 + y);
                        // Below quality 5000 a red level 1 may move by one level (8).
                        const int red_slack = quality < 5000 ? 8 : 0;
                        uniform_wrong += (std::abs(a.r - c0.r) > red_slack || a.g != c0.g || a.b != c0.b);
                    }
            }
        EXPECT_EQ(uniform_wrong, 0) << "quality " << quality;
    }
}

TEST(MsVideo1Encoder, NaturalContentAbovePsnrFloor) {
    const int w = 320, h = 240;
    MsVideo1Encoder enc(w, h, 6500, 20, 1);
    Decoder dec(w, h);
    for (int f = 0; f < 5; ++f) {
        const Frame src = NaturalDib(w, h, f * 3);
        bool key = false;
        Picture pic;
        ASSERT_TRUE(dec.Decode(enc.Encode(src.data(), &key), &pic));
        EXPECT_EQ(key, f == 0);
        const double psnr = Psnr(pic, src, w, h);
        EXPECT_GT(psnr, 30.0) << "frame " << f;
        // The encoder's own reconstruction is what the decoder shows.
        const std::uint8_t* rec = enc.Reconstruction();
        int differ = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = rec + (h - 1 - y) * w * 3 + x * 3;
                const Rgb a = pic.At(x, y);
                differ += (a.b != p[0] || a.g != p[1] || a.r != p[2]);
            }
        EXPECT_EQ(differ, 0);
    }
}

TEST(MsVideo1Encoder, HigherQualityNeverWorseAndNeverSmaller) {
    const int w = 256, h = 192;
    double last_psnr = 0;
    std::size_t last_bytes = 0;
    for (int quality = 0; quality <= 10000; quality += 1000) {
        MsVideo1Encoder enc(w, h, quality, 20, 1);
        Decoder dec(w, h);
        double psnr_sum = 0;
        std::size_t bytes = 0;
        for (int f = 0; f < 3; ++f) {
            const Frame src = NaturalDib(w, h, f * 2, 5);
            bool key;
            const auto& out = enc.Encode(src.data(), &key);
            bytes += out.size();
            Picture pic;
            ASSERT_TRUE(dec.Decode(out, &pic));
            psnr_sum += Psnr(pic, src, w, h);
        }
        EXPECT_GE(psnr_sum / 3 + 1e-9, last_psnr) << "quality " << quality;
        EXPECT_GE(bytes, last_bytes) << "quality " << quality;
        last_psnr = psnr_sum / 3;
        last_bytes = bytes;
    }
    EXPECT_GT(last_psnr, 40.0);
}

TEST(MsVideo1Encoder, PaddedOddSizeRepeatsLastColumnAndRow) {
    const int w = 37, h = 23;
    // One exact colour per 2x2 cell: at quality 10000 every block is coded without loss.
    auto cell = [](int x, int y) {
        const int cx = x / 2, cy = y / 2;
        return Rgb{Expand((cx * 7 + cy * 3) % 32), Expand((cx * 5 + cy * 11) % 32), Expand((cx + cy * 13) % 32)};
    };
    const Frame src = MakeDib(w, h, cell);
    MsVideo1Encoder enc(w, h, 10000, 20, 1);
    EXPECT_EQ(enc.PaddedWidth(), 40);
    EXPECT_EQ(enc.PaddedHeight(), 24);
    Decoder dec(40, 24);
    bool key;
    Picture pic;
    ASSERT_TRUE(dec.Decode(enc.Encode(src.data(), &key), &pic));
    ASSERT_EQ(pic.w, 40);
    ASSERT_EQ(pic.h, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb want = DibPixel(src, w, h, std::min(x, w - 1), std::min(y, h - 1));
            const Rgb got = pic.At(x, y);
            ASSERT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b) << "at " << x << "," << y;
        }
}

TEST(MsVideo1Encoder, StaticFramesSkipAndKeyFramesComeEveryN) {
    const int w = 128, h = 96;
    MsVideo1Encoder enc(w, h, 6500, 5, 1);
    const Frame src = NaturalDib(w, h);
    std::size_t key_size = 0;
    for (int f = 0; f < 12; ++f) {
        bool key = false;
        const auto& out = enc.Encode(src.data(), &key);
        EXPECT_EQ(key, f % 5 == 0) << "frame " << f;
        if (f == 0) key_size = out.size();
        // A repeated frame is all skips: one 2-byte skip word per block row.
        if (!key) {
            EXPECT_EQ(out.size(), static_cast<std::size_t>(2 * (h / 4))) << "frame " << f;
        } else {
            EXPECT_EQ(out.size(), key_size);
        }
    }
}

TEST(MsVideo1Encoder, SkipsTrackTheDecodersPicture) {
    // A picture changing slowly: errors must not pile up, because skips compare against what
    // the decoder shows, not against the previous source.
    const int w = 160, h = 120;
    MsVideo1Encoder enc(w, h, 6500, 1000, 1);
    Decoder dec(w, h);
    for (int f = 0; f < 30; ++f) {
        const Frame src = MakeDib(w, h, [&](int x, int y) {
            return Rgb{std::min(255, x + f), std::min(255, y + f / 2), (x * y / 64 + f) & 255};
        });
        bool key;
        Picture pic;
        ASSERT_TRUE(dec.Decode(enc.Encode(src.data(), &key), &pic));
        EXPECT_GT(Psnr(pic, src, w, h), 30.0) << "frame " << f;
    }
}

TEST(MsVideo1Encoder, OneAndTwoThreadsGiveTheSameStream) {
    const int w = 200, h = 152;
    MsVideo1Encoder one(w, h, 6500, 4, 1), two(w, h, 6500, 4, 2);
    for (int f = 0; f < 6; ++f) {
        const Frame src = NaturalDib(w, h, f * 4);
        bool k1, k2;
        const std::vector<std::uint8_t> a = one.Encode(src.data(), &k1);
        const std::vector<std::uint8_t> b = two.Encode(src.data(), &k2);
        EXPECT_EQ(a, b) << "frame " << f;
        EXPECT_EQ(k1, k2);
    }
}

TEST(MsVideo1Encoder, RandomNoiseRoundTripsAtFullQuality) {
    // Worst case content: every block needs eight colours; the decoder must read the whole
    // stream (no desynchronisation), and each 2x2 quadrant is within its two-colour bound.
    const int w = 96, h = 64;
    std::mt19937 rng(11);
    const Frame src = MakeDib(w, h, [&](int, int) { return Rgb{int(rng() & 255), int(rng() & 255), int(rng() & 255)}; });
    MsVideo1Encoder enc(w, h, 10000, 20, 1);
    Decoder dec(w, h);
    bool key;
    Picture pic;
    const auto& out = enc.Encode(src.data(), &key);
    EXPECT_EQ(out.size(), static_cast<std::size_t>((w / 4) * (h / 4) * 18));
    ASSERT_TRUE(dec.Decode(out, &pic));
    EXPECT_GT(Psnr(pic, src, w, h), 14.0);
}
