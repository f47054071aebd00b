// The compressed sound format chosen at start-up.
#include "audio/compressed_format.h"
#include "platform/media/acm.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <vector>

using namespace platform;

namespace {

class SoundCompressedFormatTest : public ::testing::Test {
protected:
    SoundCompressedFormatTest() { audio::ForgetCompressedFormat(); }
    ~SoundCompressedFormatTest() override { audio::ForgetCompressedFormat(); }

    // As the settings loader leaves it: the tag read from Audio_Compress_Type.
    void Load(std::uint16_t tag) {
        audio::AllocCompressedFormat();
        ASSERT_NE(audio::CompressedFormat, nullptr);
        audio::CompressedFormat->wFormatTag = tag;
    }

    settings::RecordSettings settings;  // 16-bit mono 22050 Hz
    testsupport::MessageBoxRecorder boxes;
};

TEST_F(SoundCompressedFormatTest, TheLoadedTagIsKeptWhenItCanBeServed) {
    Load(WAVE_FORMAT_IMA_ADPCM);
    audio::SuggestCompressedFormat(settings);
    EXPECT_EQ(audio::HaveCompressedFormat, 1);
    EXPECT_EQ(audio::CompressedFormat->wFormatTag, WAVE_FORMAT_IMA_ADPCM);
    EXPECT_EQ(audio::CompressedFormat->nSamplesPerSec, 22050u);
    EXPECT_TRUE(media::AcmCanEncode(audio::CompressedFormat, audio::CompressedFormatSize));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SoundCompressedFormatTest, AnUnknownLoadedTagFallsBackToMicrosoftAdpcm) {
    Load(0x1234);
    audio::SuggestCompressedFormat(settings);
    EXPECT_EQ(audio::HaveCompressedFormat, 1);
    EXPECT_EQ(audio::CompressedFormat->wFormatTag, WAVE_FORMAT_ADPCM);
    std::uint32_t largest = 0;
    ASSERT_EQ(media::AcmMetricsMaxSizeFormat(&largest), 0u);
    EXPECT_EQ(audio::CompressedFormatSize, largest);
}

struct FallbackCase {
    std::vector<std::uint16_t> accepted;  // tags the compression manager serves
    std::vector<std::uint16_t> tried;
    std::int32_t have;
};

void PrintTo(const FallbackCase& c, std::ostream* os) {
    *os << c.accepted.size() << " tags served, " << c.tried.size() << " tried";
}

class SoundCompressedFallbackTest : public SoundCompressedFormatTest, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(SoundCompressedFallbackTest, TriesTheLoadedTagThenAdpcmThenImaAdpcmThenPcm) {
    const FallbackCase& c = GetParam();
    std::vector<std::uint16_t> tried;
    audio::CompressionCalls calls = audio::SystemCompressionCalls();
    calls.suggest = [&](const WAVEFORMATEX* src, WAVEFORMATEX* dst, std::uint32_t, std::uint32_t flags) {
        EXPECT_EQ(flags, media::ACM_FORMATSUGGESTF_WFORMATTAG);
        EXPECT_EQ(src->wFormatTag, WAVE_FORMAT_PCM);
        tried.push_back(dst->wFormatTag);
        for (std::uint16_t tag : c.accepted)
            if (tag == dst->wFormatTag) return 0u;
        return media::ACMERR_NOTPOSSIBLE;
    };
    Load(0x55);
    audio::SuggestCompressedFormat(settings, calls);
    EXPECT_EQ(tried, c.tried);
    EXPECT_EQ(audio::HaveCompressedFormat, c.have);
}

INSTANTIATE_TEST_SUITE_P(Orders, SoundCompressedFallbackTest,
                         ::testing::Values(FallbackCase{{0x55}, {0x55}, 1},
                                           FallbackCase{{0x11, 1}, {0x55, 2, 0x11}, 1},
                                           FallbackCase{{1}, {0x55, 2, 0x11, 1}, 1},
                                           FallbackCase{{}, {0x55, 2, 0x11, 1}, 0}),
                         [](const ::testing::TestParamInfo<FallbackCase>& info) {
                             return "Tries" + std::to_string(info.param.tried.size()) + "Have" +
                                    std::to_string(info.param.have);
                         });

TEST_F(SoundCompressedFormatTest, FailuresToGetTheRecordAreShownAndLeaveNoFormat) {
    struct Case {
        audio::CompressionCalls calls;
        std::string text;
    };
    audio::CompressionCalls noSize = audio::SystemCompressionCalls();
    noSize.maxFormatSize = [](std::uint32_t*) { return 11u; };
    audio::CompressionCalls noMemory = audio::SystemCompressionCalls();
    noMemory.maxFormatSize = [](std::uint32_t* size) { return *size = 50, 0u; };
    noMemory.allocate = [](std::size_t) -> void* { return nullptr; };
    for (const Case& c : {Case{noSize, "Metrics failed mmresult=11!"}, Case{noMemory, "GlobalAllocPtr(50) failed!"}}) {
        testsupport::MessageBoxRecorder recorder;
        audio::SuggestCompressedFormat(settings, c.calls);
        EXPECT_EQ(audio::CompressedFormat, nullptr);
        EXPECT_EQ(audio::HaveCompressedFormat, 0);
        auto shown = recorder.Boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(shown[0].caption, "Note");
        EXPECT_EQ(shown[0].type, MB_ICONWARNING);
        EXPECT_EQ(shown[0].owner, 0u);
    }
}

TEST_F(SoundCompressedFormatTest, TheRecordIsAllocatedOnce) {
    audio::AllocCompressedFormat();
    WAVEFORMATEX* first = audio::CompressedFormat;
    ASSERT_NE(first, nullptr);
    first->wFormatTag = 0x11;
    audio::AllocCompressedFormat();
    EXPECT_EQ(audio::CompressedFormat, first);
    EXPECT_EQ(audio::CompressedFormat->wFormatTag, 0x11);
}

}  // namespace
