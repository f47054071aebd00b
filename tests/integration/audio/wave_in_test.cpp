// The wave-in device over the session's sound server, called directly.
#include "platform/core/messages.h"
#include "platform/sound/wave_in.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {

class SoundWaveInTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (waveIn.waveInGetNumDevs() == 0) GTEST_SKIP() << "no sound server (run under scripts/session)";
        window.On(MM_WIM_DATA, [this](WPARAM w, LPARAM l) {
            EXPECT_EQ(static_cast<HWAVEIN>(w), device);
            handedBack.push_back(reinterpret_cast<WAVEHDR*>(l));
            return 0;
        });
    }
    void TearDown() override {
        if (device) {
            waveIn.waveInReset(device);
            testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(50));
            waveIn.waveInClose(device);
        }
    }
    MMRESULT Open(const WAVEFORMATEX& format) {
        return waveIn.waveInOpen(&device, WAVE_MAPPER, &format, window.Handle(), 0, CALLBACK_WINDOW);
    }
    WAVEHDR* Header(std::uint32_t bytes) {
        data.emplace_back(bytes);
        headers.push_back(std::make_unique<WAVEHDR>());
        WAVEHDR* h = headers.back().get();
        h->lpData = data.back().data();
        h->dwBufferLength = bytes;
        return h;
    }

    WaveInApi& waveIn = SystemWaveIn();
    MessageWindow window;
    HWAVEIN device = 0;
    std::vector<WAVEHDR*> handedBack;
    std::vector<std::vector<char>> data;
    std::vector<std::unique_ptr<WAVEHDR>> headers;
};

TEST_F(SoundWaveInTest, TheDefaultSourceOffersAllTwelveFormats) {
    WAVEINCAPS caps{};
    ASSERT_EQ(waveIn.waveInGetDevCaps(0, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.dwFormats, 0xFFFu);
    EXPECT_GT(std::string(caps.szPname).size(), 0u);
    EXPECT_EQ(waveIn.waveInGetDevCaps(1, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
}

TEST_F(SoundWaveInTest, OnlyTheRecorderPcmFormatsOpen) {
    const WAVEFORMATEX refused[] = {
        {2, 1, 11025, 11025, 1, 8, 0},     // not PCM
        {1, 1, 48000, 96000, 2, 16, 0},    // another rate
        {1, 3, 11025, 33075, 3, 8, 0},     // three channels
        {1, 1, 11025, 33075, 3, 24, 0},    // 24 bits
        {1, 2, 22050, 44100, 2, 16, 0},    // block align not that of the format
    };
    for (const WAVEFORMATEX& f : refused) EXPECT_EQ(Open(f), WAVERR_BADFORMAT) << f.nSamplesPerSec;
    EXPECT_EQ(device, 0u);
    WAVEFORMATEX good{1, 1, 11025, 11025, 1, 8, 0};
    EXPECT_EQ(waveIn.waveInOpen(&device, 3, &good, window.Handle(), 0, CALLBACK_WINDOW), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(Open(good), MMSYSERR_NOERROR);
}

TEST_F(SoundWaveInTest, BuffersComeBackInOrderAndResetReturnsThePartlyFilledOne) {
    ASSERT_EQ(Open({1, 1, 11025, 11025, 1, 8, 0}), MMSYSERR_NOERROR);
    std::vector<WAVEHDR*> queued{Header(1000), Header(1000), Header(11025 * 5), Header(500)};
    for (WAVEHDR* h : queued) {
        ASSERT_EQ(waveIn.waveInPrepareHeader(device, h, sizeof *h), MMSYSERR_NOERROR);
        ASSERT_EQ(waveIn.waveInAddBuffer(device, h, sizeof *h), MMSYSERR_NOERROR);
        EXPECT_EQ(h->dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    }
    EXPECT_EQ(waveIn.waveInClose(device), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveIn.waveInUnprepareHeader(device, queued[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveIn.waveInStart(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return handedBack.size() == 2; }));
    testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(400));
    ASSERT_EQ(handedBack.size(), 2u);  // the third is five seconds long
    ASSERT_EQ(waveIn.waveInReset(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return handedBack.size() == 4; }));

    EXPECT_EQ(handedBack, queued);
    EXPECT_EQ(queued[0]->dwBytesRecorded, 1000u);
    EXPECT_EQ(queued[1]->dwBytesRecorded, 1000u);
    EXPECT_GT(queued[2]->dwBytesRecorded, 0u);
    EXPECT_LT(queued[2]->dwBytesRecorded, 11025u * 5);
    EXPECT_EQ(queued[3]->dwBytesRecorded, 0u);
    for (WAVEHDR* h : queued) {
        EXPECT_EQ(h->dwFlags, WHDR_PREPARED | WHDR_DONE);
        EXPECT_EQ(waveIn.waveInUnprepareHeader(device, h, sizeof *h), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveIn.waveInAddBuffer(device, queued[0], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveIn.waveInStop(device), MMSYSERR_NOERROR);
    EXPECT_EQ(waveIn.waveInClose(device), MMSYSERR_NOERROR);
    HWAVEIN closed = device;
    device = 0;
    for (MMRESULT r : {waveIn.waveInPrepareHeader(closed, queued[0], sizeof(WAVEHDR)),
                       waveIn.waveInReset(closed), waveIn.waveInStart(closed), waveIn.waveInClose(closed)})
        EXPECT_EQ(r, MMSYSERR_INVALHANDLE);
}

TEST_F(SoundWaveInTest, AHeaderWithoutDataCannotBePrepared) {
    ASSERT_EQ(Open({1, 2, 44100, 176400, 4, 16, 0}), MMSYSERR_NOERROR);
    WAVEHDR empty{};
    EXPECT_EQ(waveIn.waveInPrepareHeader(device, &empty, sizeof empty), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveIn.waveInPrepareHeader(0, Header(4000), sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
}

}  // namespace
