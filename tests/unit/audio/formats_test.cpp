// Capture format records, temporary sound file names and the wave-in error texts.
#include "audio/sound_formats.h"
#include "audio/temp_wav_path.h"
#include "platform/core/paths.h"
#include "platform/sound/mmio.h"
#include "platform/sound/wave_in.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <set>

using namespace platform;

namespace {

struct FormatCase {
    int bits, channels, rate;
    std::uint16_t blockAlign;
    std::uint32_t bytesPerSecond;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.bits << " bits, " << c.channels << " channels, " << c.rate << " Hz";
}

class SoundCaptureFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SoundCaptureFormatTest, BuiltFromTheSettings) {
    const FormatCase& c = GetParam();
    settings::RecordSettings s;
    s.Audio_bits_per_sample = c.bits;
    s.Audio_num_channels = c.channels;
    s.Audio_samples_per_seconds = c.rate;
    audio::CaptureFormat = WAVEFORMATEX{2, 9, 9, 9, 9, 9, 32};
    audio::BuildCaptureFormat(s);
    const WAVEFORMATEX& f = audio::CaptureFormat;
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, c.channels);
    EXPECT_EQ(f.nSamplesPerSec, static_cast<std::uint32_t>(c.rate));
    EXPECT_EQ(f.wBitsPerSample, c.bits);
    EXPECT_EQ(f.nBlockAlign, c.blockAlign);
    EXPECT_EQ(f.nAvgBytesPerSec, c.bytesPerSecond);
    EXPECT_EQ(f.cbSize, 0);
}

INSTANTIATE_TEST_SUITE_P(Qualities, SoundCaptureFormatTest,
                         ::testing::Values(FormatCase{8, 1, 11025, 1, 11025},
                                           FormatCase{16, 1, 22050, 2, 44100},
                                           FormatCase{16, 2, 44100, 4, 176400},
                                           FormatCase{8, 2, 22050, 2, 44100}),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return "Bits" + std::to_string(info.param.bits) + "Channels" +
                                    std::to_string(info.param.channels) + "Rate" +
                                    std::to_string(info.param.rate);
                         });

TEST(SoundTempWavPathTest, AFreeTempWavIsChosenAndLeftUncreated) {
    testsupport::TempDir dir;
    std::string path;
    ASSERT_TRUE(audio::MakeTempWavPath(dir.Path(), path));
    EXPECT_EQ(path, dir.File("temp.wav"));
    EXPECT_FALSE(FileExists(dir.File("temp.wav")));
}

TEST(SoundTempWavPathTest, ATempWavHeldElsewhereGivesANumberedNameInTheSameFolder) {
    testsupport::TempDir dir;
    HMMIO held = mmioOpen(dir.File("temp.wav").c_str(), MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE);
    ASSERT_NE(held, nullptr);
    std::string path;
    ASSERT_TRUE(audio::MakeTempWavPath(dir.Path(), path));
    mmioClose(held, 0);
    ASSERT_EQ(path.rfind(dir.File("temp"), 0), 0u);
    std::string number = path.substr(dir.File("temp").size());
    ASSERT_GT(number.size(), 4u);
    EXPECT_EQ(number.substr(number.size() - 4), ".wav");
    number.resize(number.size() - 4);
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
    EXPECT_LE(std::stoi(number), 32767);
    EXPECT_TRUE(FileExists(dir.File("temp.wav")));
    EXPECT_FALSE(FileExists(path));
}

TEST(SoundTempWavPathTest, AFolderRefusingEveryNameEndsTheSearchWithoutAName) {
    std::string path;
    EXPECT_FALSE(audio::MakeTempWavPath("/nonexistent-rz-folder/", path));
}

TEST(SoundTempWavPathTest, TheTemporaryFolderIsThePrivateOne) {
    std::string folder = audio::GetTempFolder();
    EXPECT_EQ(folder, PrivateTempFolder());
    EXPECT_EQ(folder.back(), '/');
}

TEST(SoundWaveInErrorTextTest, EveryCodeHasItsOwnTextAndLongTextsAreCut) {
    std::set<std::string> texts;
    const MMRESULT codes[] = {MMSYSERR_NOERROR,    MMSYSERR_ERROR,     MMSYSERR_BADDEVICEID,
                              MMSYSERR_NOTENABLED, MMSYSERR_ALLOCATED, MMSYSERR_INVALHANDLE,
                              MMSYSERR_NODRIVER,   MMSYSERR_NOMEM,     MMSYSERR_NOTSUPPORTED,
                              MMSYSERR_BADERRNUM,  MMSYSERR_INVALFLAG, MMSYSERR_INVALPARAM,
                              MMSYSERR_HANDLEBUSY, WAVERR_BADFORMAT,   WAVERR_STILLPLAYING,
                              WAVERR_UNPREPARED,   WAVERR_SYNC};
    for (MMRESULT code : codes) {
        char text[300];
        EXPECT_EQ(WaveInErrorText(code, text, sizeof text), MMSYSERR_NOERROR) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));

    char text[300];
    EXPECT_EQ(WaveInErrorText(4711, text, sizeof text), MMSYSERR_BADERRNUM);
    EXPECT_EQ(std::string(text), *texts.find(text));
    char small[8];
    WaveInErrorText(MMSYSERR_NODRIVER, small, sizeof small);
    EXPECT_EQ(std::strlen(small), 7u);
}

}  // namespace
