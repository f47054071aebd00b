// The join of the temporary video and sound files: every result code, the retry in the recorded
// sound format, the boxes and log lines, and that each call gives back what it took.
#include "../media/media_test_util.h"
#include "finish_files.h"
#include "finishing/merge.h"
#include "finishing/progess_dlg.h"
#include "platform/media/acm.h"
#include "support/test_support.h"

#include <QProgressBar>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

using namespace finishing;
using namespace finishtest;
namespace media = platform::media;

// The platform's calls, counting what is held, with single steps replaced.
class CountingApi : public PlatformMergeApi {
public:
    std::function<AVIERR(AviStream**, AviStream*)> editable;  // replaces CreateEditableStream
    std::function<void(AVISTREAMINFO*, int)> editInfo;        // alters the info of stream n
    int held = 0, inits = 0, exits = 0, saves = 0;
    std::vector<AviStream*> editables;

    void FileInit() override { ++inits; }
    void FileExit() override { ++exits; }
    AVIERR FileOpen(AviFile** f, const std::string& p, std::uint32_t m) override {
        const AVIERR rc = PlatformMergeApi::FileOpen(f, p, m);
        if (rc == media::AVIERR_OK) ++held;
        return rc;
    }
    AVIERR FileGetStream(AviFile* f, AviStream** s, std::uint32_t t, long i) override {
        const AVIERR rc = PlatformMergeApi::FileGetStream(f, s, t, i);
        if (rc == media::AVIERR_OK) ++held;
        return rc;
    }
    void FileRelease(AviFile* f) override {
        --held;
        PlatformMergeApi::FileRelease(f);
    }
    AVIERR StreamOpenFromFile(AviStream** s, const std::string& p, std::uint32_t t, long i,
                              std::uint32_t m) override {
        const AVIERR rc = PlatformMergeApi::StreamOpenFromFile(s, p, t, i, m);
        if (rc == media::AVIERR_OK) ++held;
        return rc;
    }
    AVIERR CreateEditableStream(AviStream** e, AviStream* s) override {
        const AVIERR rc = editable ? editable(e, s) : PlatformMergeApi::CreateEditableStream(e, s);
        if (rc == media::AVIERR_OK) {
            ++held;
            editables.push_back(*e);
        }
        return rc;
    }
    AVIERR StreamInfo(AviStream* s, AVISTREAMINFO* info) override {
        const AVIERR rc = PlatformMergeApi::StreamInfo(s, info);
        for (std::size_t n = 0; n < editables.size(); ++n)
            if (editables[n] == s && editInfo) editInfo(info, static_cast<int>(n));
        return rc;
    }
    AVIERR SaveV(const std::string& path, const AviSaveCallback& cb, int count, AviStream* const* streams,
                 AVICOMPRESSOPTIONS* const* options) override {
        ++saves;
        return PlatformMergeApi::SaveV(path, cb, count, streams, options);
    }
    void StreamRelease(AviStream* s) override {
        --held;
        PlatformMergeApi::StreamRelease(s);
    }
};

enum class Sound { Good, Missing, NotSound };
enum class Video { Good, Missing, IsWave };

struct Case {
    const char* name;
    Video video;
    Sound sound;
    bool compressed;        // an unusable compressed format is passed
    bool outputInMissingDir;
    std::function<void(CountingApi&)> tweak;
    int expected;
    int saves;
    const char* logLine;
    bool outputWritten;
};

class MergeTest : public ::testing::Test {
protected:
    void SetUp() override { CProgessDlg::Create(1920, 1080); }
    testsupport::TempDir dir_;
};

TEST_F(MergeTest, ResultCodesBoxesAndLogLines) {
    auto failEditableVideo = [](CountingApi& api) {
        api.editable = [&api](AviStream** e, AviStream* s) {
            return api.editables.empty() ? media::AVIERR_MEMORY : api.PlatformMergeApi::CreateEditableStream(e, s);
        };
    };
    auto failEditableSound = [](CountingApi& api) {
        api.editable = [&api](AviStream** e, AviStream* s) {
            return api.editables.size() == 1 ? media::AVIERR_MEMORY : api.PlatformMergeApi::CreateEditableStream(e, s);
        };
    };
    auto retype = [](int stream) {
        return [stream](CountingApi& api) {
            api.editInfo = [stream](AVISTREAMINFO* info, int n) {
                if (n == stream) info->fccType = media::MakeFourCC('t', 'x', 't', 's');
            };
        };
    };
    const std::vector<Case> cases = {
        {"joined", Video::Good, Sound::Good, false, false, nullptr, 0, 1, nullptr, true},
        {"video missing", Video::Missing, Sound::Good, false, false, nullptr, 1, 0, "Video File Open Error!,Video File Path is ", false},
        {"video without a video stream", Video::IsWave, Sound::Good, false, false, nullptr, 1, 0, "AVIFileGetStream Video Error!", false},
        {"video not editable", Video::Good, Sound::Good, false, false, failEditableVideo, 1, 0, "CreateEditableStream Video Error!", false},
        {"sound missing", Video::Good, Sound::Missing, false, false, nullptr, 2, 0, "Open Audio File Error!,Audio File Path is ", false},
        {"sound not a sound file", Video::Good, Sound::NotSound, false, false, nullptr, 2, 0, "Open Audio File Error!", false},
        {"sound not editable", Video::Good, Sound::Good, false, false, failEditableSound, 2, 0, "CreateEditableStream Audio Error!", false},
        {"first stream not video", Video::Good, Sound::Good, false, false, retype(0), 3, 0, "avis[0].fccType != streamtypeVIDEO", false},
        {"second stream not sound", Video::Good, Sound::Good, false, false, retype(1), 4, 0, "avis[1].fccType != streamtypeAUDIO", false},
        {"save fails without a format: no retry", Video::Good, Sound::Good, false, true, nullptr, 5, 1, "Merge The First Time Error!Try again use the default audio options", false},
        {"save fails with a format: retry fails too", Video::Good, Sound::Good, true, true, nullptr, 5, 2, "Merge The First Time Error!", false},
        {"unusable format: retry in the recorded format", Video::Good, Sound::Good, true, false, nullptr, 0, 2, "Merge The First Time Error!", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string video = dir_.File(std::string(c.name) + ".avi");
        const std::string sound = dir_.File(std::string(c.name) + ".wav");
        if (c.video == Video::Good) WriteVideo(video);
        if (c.video == Video::IsWave) WriteWave(video);
        if (c.sound == Sound::Good) WriteWave(sound);
        if (c.sound == Sound::NotSound) testsupport::WriteFile(sound, "not a sound file at all");
        const std::string out = c.outputInMissingDir ? dir_.File("missing/out.avi") : dir_.File(std::string(c.name) + "-out.avi");

        // MPEG Layer-3 at a rate it does not serve: a format the save cannot use.
        std::vector<std::uint8_t> bad(30, 0);
        auto* f = reinterpret_cast<platform::WAVEFORMATEX*>(bad.data());
        *f = Pcm22050Mono();
        f->wFormatTag = 0x1234;
        f->cbSize = 12;

        CountingApi api;
        if (c.tweak) c.tweak(api);
        testsupport::MessageBoxRecorder boxes;
        LogMark log;
        const int rc = Merge_Video_And_Sound_File(video, sound, out, c.compressed ? 1 : 0, f,
                                                  static_cast<std::uint32_t>(bad.size()), 1, 1, {77, &api});
        EXPECT_EQ(rc, c.expected);
        EXPECT_EQ(api.saves, c.saves);
        EXPECT_EQ(api.held, 0) << "every file and stream is released";
        EXPECT_EQ(api.inits, 1);
        EXPECT_EQ(api.exits, 1);
        EXPECT_EQ(Exists(out), c.outputWritten);
        if (c.logLine) {
            EXPECT_NE(log.Since().find(c.logLine), std::string::npos) << log.Since();
        }
        // Every failure, and the retry that succeeded, tells the user once.
        const bool told = c.expected != 0 || c.saves == 2;
        ASSERT_EQ(boxes.Boxes().size(), told ? 1u : 0u);
        if (told) {
            const platform::MessageBoxRequest b = boxes.Boxes()[0];
            EXPECT_EQ(b.owner, 77u);
            EXPECT_EQ(b.caption, "Note");
            EXPECT_EQ(b.type, platform::MB_OK | platform::MB_ICONWARNING);
        }
        // The inputs are neither changed nor deleted.
        EXPECT_EQ(Exists(video), c.video != Video::Missing);
        EXPECT_EQ(Exists(sound), c.sound != Sound::Missing);
    }
}

TEST_F(MergeTest, CompressedFormatReEncodesTheSoundAndTheBarFollowsTheSave) {
    const std::string video = dir_.File("v.avi"), sound = dir_.File("s.wav"), out = dir_.File("out.avi");
    WriteVideo(video);
    WriteWave(sound);
    const platform::WAVEFORMATEX pcm = Pcm22050Mono();
    std::vector<std::uint8_t> adpcm(64, 0);
    auto* dst = reinterpret_cast<platform::WAVEFORMATEX*>(adpcm.data());
    dst->wFormatTag = platform::WAVE_FORMAT_IMA_ADPCM;
    ASSERT_EQ(media::AcmFormatSuggest(&pcm, dst, static_cast<std::uint32_t>(adpcm.size()),
                                      media::ACM_FORMATSUGGESTF_WFORMATTAG),
              media::MMSYSERR_NOERROR);
    adpcm.resize(media::WaveFormatSize(*dst));

    QProgressBar* bar = CProgessDlg::Instance()->Bar();
    std::vector<int> positions;
    auto connection = QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });
    bar->setValue(0);
    positions.clear();
    testsupport::MessageBoxRecorder boxes;
    const int rc = Merge_Video_And_Sound_File(video, sound, out, 1, reinterpret_cast<platform::WAVEFORMATEX*>(adpcm.data()),
                                              static_cast<std::uint32_t>(adpcm.size()), 1, 1);
    QObject::disconnect(connection);
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(CProgessDlg::Instance()->isVisible()) << "hidden after the save";
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    const std::string codec = mediatest::Probe(out, "codec_name", "a:0");
    EXPECT_NE(codec.find("adpcm_ima_wav"), std::string::npos) << codec;
}

// A recording the recorder never closed (a full disk stopped it where the video could not be
// given an index): the join takes every frame it holds, though its headers give no length.
TEST_F(MergeTest, AVideoNeverClosedIsJoinedWhole) {
    const std::string video = dir_.File("v.avi"), sound = dir_.File("s.wav"), out = dir_.File("out.avi");
    WriteVideo(video, 30, /*closed=*/false);
    ASSERT_EQ(mediatest::Probe(video, "nb_frames", "v:0"), "N/A") << "the fixture has no lengths";
    WriteWave(sound, 3.0);
    testsupport::MessageBoxRecorder boxes;
    const platform::WAVEFORMATEX pcm = Pcm22050Mono();
    EXPECT_EQ(Merge_Video_And_Sound_File(video, sound, out, 0, &pcm, sizeof pcm, 1, 1), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(mediatest::Probe(out, "nb_frames", "v:0"), "30");
    EXPECT_FALSE(mediatest::Probe(out, "codec_name", "a:0").empty());
}

// What each save is handed: the two option records and the target sound format.
TEST_F(MergeTest, OptionRecordsFollowTheInterleaveFlagAndTheFormatChosen) {
    struct Seen {
        AVICOMPRESSOPTIONS video, sound;
        std::vector<std::uint8_t> format;
        bool callback;
    };
    struct Recording : CountingApi {
        std::vector<Seen> seen;
        bool failFirst = false;
        AVIERR SaveV(const std::string& path, const AviSaveCallback& cb, int count, AviStream* const* streams,
                     AVICOMPRESSOPTIONS* const* options) override {
            const auto* bytes = static_cast<const std::uint8_t*>(options[1]->lpFormat);
            seen.push_back({*options[0], *options[1], std::vector<std::uint8_t>(bytes, bytes + options[1]->cbFormat),
                            static_cast<bool>(cb)});
            if (failFirst && seen.size() == 1) return media::AVIERR_BADFORMAT;
            return CountingApi::SaveV(path, cb, count, streams, options);
        }
    };
    const std::string video = dir_.File("v.avi"), sound = dir_.File("s.wav");
    WriteVideo(video);
    WriteWave(sound);
    const platform::WAVEFORMATEX pcm = Pcm22050Mono();
    std::vector<std::uint8_t> recorded(reinterpret_cast<const std::uint8_t*>(&pcm),
                                       reinterpret_cast<const std::uint8_t*>(&pcm) + 16);
    std::vector<std::uint8_t> chosen(20, 0);
    for (std::size_t i = 0; i < chosen.size(); ++i) chosen[i] = static_cast<std::uint8_t>(i + 1);

    struct Row {
        int interleave, compress;
        bool failFirst;
        std::uint32_t videoFlags, soundFlags;
    };
    const Row rows[] = {
        {1, 0, false, 0x0F, 0x09},
        {0, 0, false, 0x0E, 0x08},
        {1, 1, true, 0x0F, 0x09},
    };
    testsupport::MessageBoxRecorder boxes;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.interleave * 10 + r.compress);
        Recording api;
        api.failFirst = r.failFirst;
        const int rc = Merge_Video_And_Sound_File(video, sound, dir_.File("out.avi"), r.compress,
                                                  reinterpret_cast<platform::WAVEFORMATEX*>(chosen.data()),
                                                  static_cast<std::uint32_t>(chosen.size()), r.interleave, 1, {0, &api});
        EXPECT_EQ(rc, 0);
        ASSERT_EQ(api.seen.size(), r.failFirst ? 2u : 1u);
        for (std::size_t n = 0; n < api.seen.size(); ++n) {
            const Seen& s = api.seen[n];
            EXPECT_EQ(s.video.fccType, media::streamtypeVIDEO);
            EXPECT_EQ(s.video.dwKeyFrameEvery, 0xFFFFFFFFu);
            EXPECT_EQ(s.video.dwQuality, 0xFFFFFFFFu);
            EXPECT_EQ(s.video.dwFlags, r.videoFlags);
            EXPECT_EQ(s.video.dwInterleaveEvery, 1u);
            EXPECT_EQ(s.video.lpFormat, nullptr);
            EXPECT_EQ(s.sound.fccType, media::streamtypeAUDIO);
            EXPECT_EQ(s.sound.dwFlags, r.soundFlags);
            EXPECT_EQ(s.sound.dwInterleaveEvery, 1u);
            // The chosen format on the first save; the recorded one without a choice and on the retry.
            const bool chosenFormat = r.compress && n == 0;
            if (chosenFormat) EXPECT_EQ(s.format, chosen);
            else EXPECT_EQ(std::vector<std::uint8_t>(s.format.begin(), s.format.begin() + 16), recorded);
            EXPECT_EQ(s.callback, n == 0) << "the retry does not move the bar";
        }
        EXPECT_EQ(api.held, 0);
    }
}

}  // namespace
