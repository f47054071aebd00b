// The Audio page: the qualities offered, the working copy of the formats and its commit, the
// format chooser and the volume control.
#include "audio/audio_dlg.h"
#include "audio/compressed_format.h"
#include "audio/format_choose_dlg.h"
#include "audio/format_description.h"
#include "audio/volume_control.h"
#include "companions/phrasebook/phrasebook.h"
#include "fake_wave_in.h"
#include "platform/media/acm.h"
#include "platform/ui/dialog_builder.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

using audio::CAudioDlg;
using namespace platform;

// A capture device reporting the given capability bits; no device at all with `devices` 0.
class CapsWaveIn : public audiotest::FakeWaveIn {
public:
    std::uint32_t bits = WAVE_FORMAT_ALL12;
    std::uint32_t devices = 1;
    std::uint32_t waveInGetNumDevs() override { return devices; }
    MMRESULT waveInGetDevCaps(std::uint32_t, WAVEINCAPS* caps, std::uint32_t) override {
        if (!devices) return MMSYSERR_BADDEVICEID;
        *caps = WAVEINCAPS{};
        caps->dwFormats = bits;
        return MMSYSERR_NOERROR;
    }
};

// A format record as the compression manager suggests it for 16-bit sound.
std::vector<std::uint8_t> Suggested(std::uint16_t tag, int rate, int channels) {
    std::uint32_t size = 0;
    media::AcmMetricsMaxSizeFormat(&size);
    std::vector<std::uint8_t> record(size, 0);
    const WAVEFORMATEX pcm{WAVE_FORMAT_PCM, static_cast<std::uint16_t>(channels),
                           static_cast<std::uint32_t>(rate),
                           static_cast<std::uint32_t>(rate * channels * 2),
                           static_cast<std::uint16_t>(channels * 2), 16, 0};
    auto* dst = reinterpret_cast<WAVEFORMATEX*>(record.data());
    dst->wFormatTag = tag;
    EXPECT_EQ(media::AcmFormatSuggest(&pcm, dst, size, media::ACM_FORMATSUGGESTF_WFORMATTAG), 0u);
    return record;
}

class AudioPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        BuildDialog(*resources::FindDialogTemplate(resources::IDD_MAIN), &main_);
        audio::ForgetCompressedFormat();
    }
    void TearDown() override {
        page_.reset();
        audio::ForgetCompressedFormat();
    }
    // As start-up leaves the process's format: loaded from the settings, then suggested.
    void StartUp(std::uint16_t loadedTag) {
        audio::AllocCompressedFormat();
        audio::CompressedFormat->wFormatTag = loadedTag;
        audio::SuggestCompressedFormat(settings_);
    }
    CAudioDlg& Make() {
        audio::AudioPageServices services;
        services.waveIn = &device_;
        services.chooser = [this](QWidget*, const WAVEFORMATEX& source, WAVEFORMATEX* format,
                                  std::uint32_t size) { return chooser_(source, format, size); };
        services.launcher = {[this](const std::string& p) { return installed_.count(p) > 0; },
                             [this](const std::string& p, const std::vector<std::string>& a) {
                                 started_.push_back(p);
                                 startedArgs_ = a;
                                 return startWorks_;
                             }};
        page_ = std::make_unique<CAudioDlg>(settings_, &main_, services);
        return *page_;
    }
    QComboBox* Qualities() { return qobject_cast<QComboBox*>(page_->Control(CAudioDlg::kQualityList)); }
    QString Edit(int id) { return qobject_cast<QLineEdit*>(page_->Control(id))->text(); }
    QString SoundLine() {
        return qobject_cast<QLabel*>(GetDlgItem(&main_, resources::IDC_SOUND_LINE))->text();
    }
    std::vector<std::uint8_t> Committed() {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(audio::CompressedFormat);
        return {bytes, bytes + audio::CompressedFormatSize};
    }
    void Select(int position) {
        Qualities()->setCurrentIndex(position);
        page_->OnQualityChanged();
    }

    settings::RecordSettings settings_;
    QWidget main_;
    CapsWaveIn device_;
    std::function<media::MMRESULT(const WAVEFORMATEX&, WAVEFORMATEX*, std::uint32_t)> chooser_;
    std::set<std::string> installed_;
    std::vector<std::string> started_;
    std::vector<std::string> startedArgs_;
    bool startWorks_ = true;
    testsupport::MessageBoxRecorder boxes_;
    std::unique_ptr<CAudioDlg> page_;
};

TEST_F(AudioPageTest, AStoredQualityTheDeviceLacksGivesWayToTheFirstOfferedAndIsCommitted) {
    device_.bits = WAVE_FORMAT_4M08 | WAVE_FORMAT_4S08 | WAVE_FORMAT_4M16 | WAVE_FORMAT_4S16;
    settings_.WaveInSelected = 64;
    StartUp(WAVE_FORMAT_ADPCM);
    Make();
    ASSERT_EQ(Qualities()->count(), 4);
    const char* rows[] = {"44.1 kHz, mono, 8-bit", "44.1 kHz, mono, 16-bit",
                          "44.1 kHz, stereo, 8-bit", "44.1 kHz, stereo, 16-bit"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Qualities()->itemText(i), rows[i]);
    EXPECT_EQ(Qualities()->currentIndex(), 0);
    EXPECT_EQ(settings_.WaveInSelected, 256);
    EXPECT_EQ(settings_.Audio_bits_per_sample, 8);
    EXPECT_EQ(settings_.Audio_num_channels, 1);
    EXPECT_EQ(settings_.Audio_samples_per_seconds, 44100);
    // The committed format is the new quality's PCM.
    EXPECT_EQ(audio::CompressedFormat->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(audio::CompressedFormat->nSamplesPerSec, 44100u);
    EXPECT_EQ(audio::CompressedFormat->wBitsPerSample, 8);
    EXPECT_EQ(audio::HaveCompressedFormat, 1);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(AudioPageTest, AStoredQualityTheDeviceOffersKeepsTheStartUpFormat) {
    settings_.WaveInSelected = 64;  // 22.05 kHz, mono, 16-bit: the settings' own quality
    settings_.RecordAudio = 1;
    StartUp(WAVE_FORMAT_IMA_ADPCM);
    const std::vector<std::uint8_t> before = Committed();
    Make();
    EXPECT_EQ(Qualities()->count(), 12);
    EXPECT_EQ(Qualities()->currentIndex(), 5);
    EXPECT_EQ(Committed(), before);
    EXPECT_EQ(page_->PageCompressedFormat()->wFormatTag, WAVE_FORMAT_IMA_ADPCM);
    EXPECT_EQ(Edit(CAudioDlg::kTagName), "IMA ADPCM");
    EXPECT_EQ(SoundLine(), QString(GetText("StatusInfo", "RecordAudio")) + "IMA ADPCM");
}

TEST_F(AudioPageTest, AQualityChangeSuggestsPcmOfTheNewQualityAndCommitsIt) {
    settings_.RecordAudio = 1;
    StartUp(WAVE_FORMAT_IMA_ADPCM);
    Make();
    struct Case {
        int position;
        std::int32_t bit, rate, channels, bits;
    } cases[] = {{7, 0x080, 22050, 2, 16}, {0, 0x001, 11025, 1, 8}, {10, 0x200, 44100, 2, 8}};
    for (const Case& c : cases) {
        Select(c.position);
        EXPECT_EQ(settings_.WaveInSelected, c.bit);
        EXPECT_EQ(settings_.Audio_samples_per_seconds, c.rate);
        EXPECT_EQ(settings_.Audio_num_channels, c.channels);
        EXPECT_EQ(settings_.Audio_bits_per_sample, c.bits);
        const WAVEFORMATEX& f = *audio::CompressedFormat;
        EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM) << c.position;
        EXPECT_EQ(f.nSamplesPerSec, static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(f.nChannels, c.channels);
        EXPECT_EQ(f.wBitsPerSample, c.bits);
        EXPECT_EQ(Edit(CAudioDlg::kTagName), "PCM");
        EXPECT_EQ(Edit(CAudioDlg::kDetails).toStdString(), audio::FormatDetails(f));
        EXPECT_EQ(SoundLine(), QString(GetText("StatusInfo", "RecordAudio")) + "PCM");
    }
}

TEST_F(AudioPageTest, OnlyASuccessfulChoiceOfTheChooserIsCommitted) {
    settings_.RecordAudio = 1;
    StartUp(WAVE_FORMAT_ADPCM);
    Make();
    Select(7);  // 22.05 kHz stereo 16-bit, PCM
    const std::vector<std::uint8_t> ima = Suggested(WAVE_FORMAT_IMA_ADPCM, 22050, 2);
    struct Case {
        media::MMRESULT result;
        bool committed;
        const char* box;  // null: none
    } cases[] = {
        {media::ACMERR_CANCELED, false, nullptr},
        {media::ACMERR_NOTPOSSIBLE, false, "FormatChoose() failed with error = 512!"},
        {media::MMSYSERR_NOERROR, true, nullptr},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> before = Committed();
        const settings::RecordSettings was = settings_;
        const std::size_t boxesBefore = boxes_.Boxes().size();
        chooser_ = [&](const WAVEFORMATEX& source, WAVEFORMATEX* format, std::uint32_t size) {
            // The chooser lists what the page's PCM quality converts to, from the working format.
            EXPECT_EQ(source.wFormatTag, WAVE_FORMAT_PCM);
            EXPECT_EQ(source.nSamplesPerSec, 22050u);
            EXPECT_EQ(source.nChannels, 2);
            EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
            EXPECT_GE(size, ima.size());
            if (c.result == media::MMSYSERR_NOERROR) std::memcpy(format, ima.data(), ima.size());
            return c.result;
        };
        page_->OnChooseFormat();
        if (c.committed) {
            EXPECT_EQ(Committed(), ima);
            EXPECT_EQ(Edit(CAudioDlg::kTagName), "IMA ADPCM");
            EXPECT_EQ(settings_.WaveInSelected, 0x080);
        } else {
            EXPECT_EQ(Committed(), before) << c.result;
            EXPECT_EQ(settings_.WaveInSelected, was.WaveInSelected);
            EXPECT_EQ(Edit(CAudioDlg::kTagName), "PCM") << c.result;
        }
        const auto boxes = boxes_.Boxes();
        if (c.box) {
            ASSERT_EQ(boxes.size(), boxesBefore + 1);
            EXPECT_EQ(boxes.back().text, c.box);
            EXPECT_EQ(boxes.back().caption, "Note");
            EXPECT_EQ(boxes.back().owner, page_->Handle());
        } else {
            EXPECT_EQ(boxes.size(), boxesBefore) << c.result;
        }
    }
}

TEST_F(AudioPageTest, RecordAudioClearedDisablesTheControlsKeepingTheirContents) {
    settings_.RecordAudio = 1;
    StartUp(WAVE_FORMAT_ADPCM);
    Make();
    const int controls[] = {CAudioDlg::kChooseFormat, CAudioDlg::kVolumeControl,
                            CAudioDlg::kQualityList, CAudioDlg::kTagName, CAudioDlg::kDetails};
    for (int id : controls) EXPECT_TRUE(page_->Control(id)->isEnabled()) << id;
    const QString tag = Edit(CAudioDlg::kTagName), details = Edit(CAudioDlg::kDetails);
    EXPECT_EQ(tag, "Microsoft ADPCM");
    std::vector<bool> told;  // what the page tells the main window (which keeps the device ready)
    QObject::connect(&*page_, &CAudioDlg::RecordAudioChanged, [&](bool on) { told.push_back(on); });

    qobject_cast<QAbstractButton*>(page_->Control(CAudioDlg::kRecordAudio))->click();
    EXPECT_EQ(settings_.RecordAudio, 0);
    for (int id : controls) EXPECT_FALSE(page_->Control(id)->isEnabled()) << id;
    EXPECT_EQ(SoundLine(), GetText("StatusInfo", "NotRecordAudio"));
    EXPECT_EQ(Edit(CAudioDlg::kTagName), tag);
    EXPECT_EQ(Edit(CAudioDlg::kDetails), details);
    EXPECT_EQ(Qualities()->currentIndex(), 5);

    qobject_cast<QAbstractButton*>(page_->Control(CAudioDlg::kRecordAudio))->click();
    EXPECT_EQ(settings_.RecordAudio, 1);
    EXPECT_EQ(SoundLine(), QString(GetText("StatusInfo", "RecordAudio")) + "Microsoft ADPCM");
    EXPECT_EQ(told, (std::vector<bool>{false, true}));
}

TEST_F(AudioPageTest, SoundOnWithoutAnyQualityShowsNoneAvailableAndNoChooser) {
    device_.devices = 0;
    settings_.RecordAudio = 1;
    StartUp(WAVE_FORMAT_ADPCM);
    const std::vector<std::uint8_t> before = Committed();
    Make();
    ASSERT_EQ(Qualities()->count(), 1);
    EXPECT_EQ(Qualities()->currentText(), "None Available");
    EXPECT_EQ(Edit(CAudioDlg::kTagName), "None Available");
    EXPECT_FALSE(page_->Control(CAudioDlg::kChooseFormat)->isEnabled());
    EXPECT_EQ(Committed(), before);
    page_->OnQualityChanged();  // nothing to commit
    EXPECT_EQ(settings_.WaveInSelected, 64);
}

TEST_F(AudioPageTest, VolumeControlOpensTheMixerOrSettingsOrSaysWhy) {
    struct Case {
        std::uint32_t devices;
        std::set<std::string> installed;
        bool startWorks;
        const char* program;  // null: nothing started
        std::vector<std::string> args;
        const char* boxKey;   // null: no box
    } cases[] = {
        {1, {"pavucontrol", "gnome-control-center"}, true, "pavucontrol", {"--tab=4"}, nullptr},
        {1, {"gnome-control-center"}, true, "gnome-control-center", {"sound"}, nullptr},
        {1, {}, true, nullptr, {}, "OpenVolumeError"},
        {1, {"pavucontrol"}, false, "pavucontrol", {"--tab=4"}, "OpenVolumeError"},
        {0, {"pavucontrol"}, true, nullptr, {}, "NoAudioDevice"},
    };
    Make();
    for (const Case& c : cases) {
        device_.devices = c.devices;
        installed_ = c.installed;
        startWorks_ = c.startWorks;
        started_.clear();
        const std::size_t boxesBefore = boxes_.Boxes().size();
        page_->OnVolumeControl();
        if (c.program) {
            ASSERT_EQ(started_.size(), 1u);
            EXPECT_EQ(started_[0], c.program);
            EXPECT_EQ(startedArgs_, c.args);
        } else {
            EXPECT_TRUE(started_.empty());
        }
        const auto boxes = boxes_.Boxes();
        if (c.boxKey) {
            ASSERT_EQ(boxes.size(), boxesBefore + 1);
            EXPECT_EQ(boxes.back().text, GetText("MsgBox", c.boxKey));
            EXPECT_EQ(boxes.back().caption, "Note");
        } else {
            EXPECT_EQ(boxes.size(), boxesBefore);
        }
    }
}

TEST(AudioFormatDescription, DetailsNameRateBitsChannelsAndBytesPerSecond) {
    struct Case {
        WAVEFORMATEX format;
        const char* text;
    } cases[] = {
        {{0x11, 1, 22050, 11155, 512, 4, 2}, "22050 Hz, 4 Bit, Mono      11155 Bytes/sec"},
        {{1, 2, 44100, 176400, 4, 16, 0}, "44100 Hz, 16 Bit, Stereo      176400 Bytes/sec"},
        {{0x55, 2, 44100, 16000, 1, 0, 12}, "44100 Hz, Stereo      16000 Bytes/sec"},
    };
    for (const Case& c : cases) EXPECT_EQ(audio::FormatDetails(c.format), c.text);
    std::string tag, details = "kept";
    const WAVEFORMATEX unknown{0x1234, 1, 8000, 8000, 1, 8, 0};
    EXPECT_FALSE(audio::DescribeFormat(unknown, tag, details));
    EXPECT_EQ(details, "kept");
}

TEST(AudioFormatChooser, ListsWhatTheSourceConvertsToAndStartsAtTheCurrentFormat) {
    LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
    SelectLanguage("English");
    const WAVEFORMATEX source{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    const std::vector<std::uint8_t> ima = Suggested(WAVE_FORMAT_IMA_ADPCM, 22050, 2);
    std::uint32_t size = 0;
    media::AcmMetricsMaxSizeFormat(&size);
    audio::CFormatChooseDlg dialog(source, *reinterpret_cast<const WAVEFORMATEX*>(ima.data()), size,
                                   "Audio Compression Format");
    EXPECT_EQ(dialog.windowTitle(), "Audio Compression Format");
    EXPECT_EQ(dialog.TagList()->currentText(), "IMA ADPCM");
    const media::AcmFormatChoice* start = dialog.Selected();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->format, std::vector<std::uint8_t>(ima.begin(), ima.begin() + start->format.size()));
    for (int i = 0; i < dialog.TagList()->count(); ++i) {
        dialog.TagList()->setCurrentIndex(i);
        ASSERT_GT(dialog.AttributeList()->count(), 0);
        for (int row = 0; row < dialog.AttributeList()->count(); ++row) {
            dialog.AttributeList()->setCurrentIndex(row);
            const WAVEFORMATEX& f = dialog.Selected()->Wave();
            EXPECT_EQ(f.nSamplesPerSec, 22050u);
            EXPECT_TRUE(media::AcmCanEncode(&f, static_cast<std::uint32_t>(dialog.Selected()->format.size())));
        }
    }
    // A source the compression manager cannot serve offers nothing, and the chooser says so.
    WAVEFORMATEX odd = source;
    odd.nSamplesPerSec = 96000;
    std::vector<std::uint8_t> record(ima);
    EXPECT_EQ(audio::FormatChoose(nullptr, "t", odd, reinterpret_cast<WAVEFORMATEX*>(record.data()), size),
              media::ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(record, ima);
}

}  // namespace
