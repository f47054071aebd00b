// The audio compression manager stand-in: sizes, suggestions, tag names, the chooser's list.
#include "platform/media/acm.h"

#include "media_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace platform;
using namespace platform::media;
using mediatest::Pcm;

namespace {

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct Suggested {
    MMRESULT rc;
    std::vector<std::uint8_t> bytes;
    const WAVEFORMATEX& W() const { return *reinterpret_cast<const WAVEFORMATEX*>(bytes.data()); }
};

Suggested Suggest(const WAVEFORMATEX& src, std::uint16_t tag) {
    std::uint32_t size = 0;
    AcmMetricsMaxSizeFormat(&size);
    Suggested s;
    s.bytes.assign(size, 0xEE);
    auto* dst = reinterpret_cast<WAVEFORMATEX*>(s.bytes.data());
    dst->wFormatTag = tag;
    s.rc = AcmFormatSuggest(&src, dst, size, ACM_FORMATSUGGESTF_WFORMATTAG);
    return s;
}

bool HasMp3() {
    for (auto t : AcmFormatTags())
        if (t == WAVE_FORMAT_MPEGLAYER3) return true;
    return false;
}

}  // namespace

TEST(Acm, LargestFormatSizeIsMsAdpcms) {
    std::uint32_t size = 0;
    ASSERT_EQ(AcmMetricsMaxSizeFormat(&size), MMSYSERR_NOERROR);
    EXPECT_EQ(size, 50u);  // 18 + samples per block + count + 7 coefficient pairs
}

TEST(Acm, TagNames) {
    AcmFormatTagDetails d;
    ASSERT_EQ(AcmFormatTagDetailsOf(1, &d), MMSYSERR_NOERROR);
    EXPECT_EQ(d.szFormatTag, "PCM");
    ASSERT_EQ(AcmFormatTagDetailsOf(2, &d), MMSYSERR_NOERROR);
    EXPECT_EQ(d.szFormatTag, "Microsoft ADPCM");
    ASSERT_EQ(AcmFormatTagDetailsOf(0x11, &d), MMSYSERR_NOERROR);
    EXPECT_EQ(d.szFormatTag, "IMA ADPCM");
    if (HasMp3()) {
        ASSERT_EQ(AcmFormatTagDetailsOf(0x55, &d), MMSYSERR_NOERROR);
        EXPECT_EQ(d.szFormatTag, "MPEG Layer-3");
    }
    EXPECT_NE(AcmFormatTagDetailsOf(0x1234, &d), MMSYSERR_NOERROR);
}

TEST(Acm, SuggestsMicrosoftAdpcmWithItsExtraData) {
    const Suggested s = Suggest(Pcm(22050, 1, 16), WAVE_FORMAT_ADPCM);
    ASSERT_EQ(s.rc, MMSYSERR_NOERROR);
    EXPECT_EQ(s.W().wFormatTag, WAVE_FORMAT_ADPCM);
    EXPECT_EQ(s.W().nChannels, 1);
    EXPECT_EQ(s.W().nSamplesPerSec, 22050u);
    EXPECT_EQ(s.W().nBlockAlign, 512);
    EXPECT_EQ(s.W().wBitsPerSample, 4);
    EXPECT_EQ(s.W().nAvgBytesPerSec, 11155u);
    ASSERT_EQ(s.W().cbSize, 32);
    const std::uint8_t* e = s.bytes.data() + 18;
    EXPECT_EQ(Le16(e), 1012);  // samples per block
    EXPECT_EQ(Le16(e + 2), 7);
    const int coef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(static_cast<std::int16_t>(Le16(e + 4 + 4 * i)), coef[i][0]);
        EXPECT_EQ(static_cast<std::int16_t>(Le16(e + 6 + 4 * i)), coef[i][1]);
    }
    // The rest of the destination is zeroed.
    for (std::size_t i = 50; i < s.bytes.size(); ++i) EXPECT_EQ(s.bytes[i], 0);
    EXPECT_TRUE(AcmCanEncode(&s.W(), 50));
}

TEST(Acm, SuggestsImaAdpcmAndPcm) {
    Suggested s = Suggest(Pcm(11025, 2, 8), WAVE_FORMAT_IMA_ADPCM);
    ASSERT_EQ(s.rc, MMSYSERR_NOERROR);
    EXPECT_EQ(s.W().nBlockAlign, 512);
    EXPECT_EQ(s.W().wBitsPerSample, 4);
    ASSERT_EQ(s.W().cbSize, 2);
    EXPECT_EQ(Le16(s.bytes.data() + 18), 505);
    s = Suggest(Pcm(44100, 2, 16), WAVE_FORMAT_PCM);
    ASSERT_EQ(s.rc, MMSYSERR_NOERROR);
    EXPECT_EQ(s.W().wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(s.W().nBlockAlign, 4);
    EXPECT_EQ(s.W().nAvgBytesPerSec, 176400u);
    EXPECT_EQ(s.W().cbSize, 0);
}

TEST(Acm, SuggestsMpegLayer3WhenThereIsAnEncoder) {
    if (!HasMp3()) GTEST_SKIP() << "no MP3 encoder in libavcodec";
    const Suggested s = Suggest(Pcm(44100, 2, 16), WAVE_FORMAT_MPEGLAYER3);
    ASSERT_EQ(s.rc, MMSYSERR_NOERROR);
    EXPECT_EQ(s.W().wFormatTag, WAVE_FORMAT_MPEGLAYER3);
    EXPECT_EQ(s.W().nAvgBytesPerSec, 16000u);  // 128 kbit/s
    EXPECT_EQ(s.W().cbSize, 12);
    EXPECT_EQ(Le16(s.bytes.data() + 18), 1);  // MPEGLAYER3_ID_MPEG
    EXPECT_EQ(Le16(s.bytes.data() + 24), 417);  // 144 * 128000 / 44100
}

TEST(Acm, FailsForWhatItCannotServe) {
    EXPECT_EQ(Suggest(Pcm(22050, 1, 16), 0x1234).rc, ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(Suggest(Pcm(96000, 1, 16), WAVE_FORMAT_ADPCM).rc, ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(Suggest(Pcm(22050, 6, 16), WAVE_FORMAT_PCM).rc, ACMERR_NOTPOSSIBLE);
    WAVEFORMATEX adpcm_source = Pcm(22050, 1, 16);
    adpcm_source.wFormatTag = WAVE_FORMAT_ADPCM;
    EXPECT_EQ(Suggest(adpcm_source, WAVE_FORMAT_PCM).rc, ACMERR_NOTPOSSIBLE);
    // A destination too small for the suggestion.
    WAVEFORMATEX src = Pcm(22050, 1, 16);
    std::vector<std::uint8_t> small(20, 0);
    auto* dst = reinterpret_cast<WAVEFORMATEX*>(small.data());
    dst->wFormatTag = WAVE_FORMAT_ADPCM;
    EXPECT_EQ(AcmFormatSuggest(&src, dst, 20, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_INVALPARAM);
    // The suggestion's fallback order 2, 0x11, 1 finds a format for every capture quality.
    for (std::uint32_t rate : {11025u, 22050u, 44100u})
        for (int ch : {1, 2})
            for (int bits : {8, 16})
                for (std::uint16_t tag : {WAVE_FORMAT_ADPCM, WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_PCM})
                    EXPECT_EQ(Suggest(Pcm(rate, ch, bits), tag).rc, MMSYSERR_NOERROR) << rate << " " << ch << " " << bits;
}

TEST(Acm, ListsFormatsForTheChooser) {
    const auto list = AcmFormatsFor(Pcm(44100, 2, 16));
    ASSERT_FALSE(list.empty());
    std::vector<std::uint16_t> tags;
    for (const auto& c : list) {
        EXPECT_TRUE(AcmCanEncode(&c.Wave(), static_cast<std::uint32_t>(c.format.size()))) << c.tag_name;
        EXPECT_EQ(c.format.size(), 18u + c.Wave().cbSize);
        EXPECT_EQ(c.Wave().nSamplesPerSec, 44100u);
        if (tags.empty() || tags.back() != c.Wave().wFormatTag) tags.push_back(c.Wave().wFormatTag);
    }
    std::vector<std::uint16_t> want{WAVE_FORMAT_PCM, WAVE_FORMAT_ADPCM, WAVE_FORMAT_IMA_ADPCM};
    if (HasMp3()) want.push_back(WAVE_FORMAT_MPEGLAYER3);
    EXPECT_EQ(tags, want);
    EXPECT_TRUE(AcmFormatsFor(Pcm(96000, 2, 16)).empty());
    // A record that no encoder here produces.
    WAVEFORMATEX odd = Pcm(44100, 2, 16);
    odd.wFormatTag = WAVE_FORMAT_ADPCM;
    odd.wBitsPerSample = 4;
    odd.nBlockAlign = 3;
    EXPECT_FALSE(AcmCanEncode(&odd, sizeof odd));
}
