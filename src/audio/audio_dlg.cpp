#include "audio/audio_dlg.h"

#include "audio/format_choose_dlg.h"
#include "audio/format_description.h"
#include "audio/sound_formats.h"
#include "audio/sound_qualities.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/ui/dialog_builder.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace audio {

namespace {

constexpr const char* kNoneAvailable = "None Available";
constexpr const char* kChooserTitle = "Audio Compression Format";
constexpr int kAudioControls[] = {CAudioDlg::kChooseFormat, CAudioDlg::kVolumeControl,
                                  CAudioDlg::kQualityList, CAudioDlg::kTagName, CAudioDlg::kDetails};

struct Caption {
    int id;
    const char* key;
};
// All three group boxes take the one group text.
constexpr Caption kCaptions[] = {{1072, "GroupAudio"},       {1058, "GroupAudio"},
                                 {1059, "GroupAudio"},       {1018, "CheckRecordAudio"},
                                 {1033, "BtnVolumeControl"}, {1015, "BtnChooseFormat"}};

void Fill(CompressionCalls& calls) {
    const CompressionCalls system = SystemCompressionCalls();
    if (!calls.maxFormatSize) calls.maxFormatSize = system.maxFormatSize;
    if (!calls.allocate) calls.allocate = system.allocate;
    if (!calls.suggest) calls.suggest = system.suggest;
}

}  // namespace

CAudioDlg::CAudioDlg(settings::RecordSettings& settings, QWidget* mainWindow, Services services,
                     QWidget* parent)
    : skin::CChildPage(resources::IDD_AUDIO_PAGE, parent),
      settings_(settings),
      mainWindow_(mainWindow),
      services_(std::move(services)) {
    if (!services_.waveIn) services_.waveIn = &platform::SystemWaveIn();
    Fill(services_.compression);
    if (!services_.chooser) {
        services_.chooser = [](QWidget* owner, const platform::WAVEFORMATEX& source,
                               platform::WAVEFORMATEX* format, std::uint32_t size) {
            return FormatChoose(owner, kChooserTitle, source, format, size);
        };
    }
    if (!services_.launcher.exists) services_.launcher = SystemLauncher();
    qualities_ = qobject_cast<QComboBox*>(Control(kQualityList));

    OnInitDialog();
    // Connected after initialisation: only the user's changes run the handlers.
    if (auto* box = qobject_cast<QAbstractButton*>(Control(kRecordAudio)))
        connect(box, &QAbstractButton::clicked, this, &CAudioDlg::OnRecordAudio);
    if (qualities_) connect(qualities_, &QComboBox::activated, this, &CAudioDlg::OnQualityChanged);
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kChooseFormat)))
        connect(b, &QAbstractButton::clicked, this, &CAudioDlg::OnChooseFormat);
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kVolumeControl)))
        connect(b, &QAbstractButton::clicked, this, &CAudioDlg::OnVolumeControl);
}

CAudioDlg::~CAudioDlg() = default;

const platform::WAVEFORMATEX* CAudioDlg::PageCompressedFormat() const {
    return reinterpret_cast<const platform::WAVEFORMATEX*>(pageFormat_.get());
}

void CAudioDlg::OnInitDialog() {
    // 1.
    LoadBackground();
    ClearStaticBackgrounds();
    recordAudioBox_.SetBackgroundColor(kPageColor);
    recordAudioBox_.Attach(qobject_cast<QAbstractButton*>(Control(kRecordAudio)));
    if (QWidget* unused = Control(kUnusedList)) unused->hide();

    // 2.
    if (auto* box = qobject_cast<QAbstractButton*>(Control(kRecordAudio)))
        box->setChecked(settings_.RecordAudio != 0);
    EnableAudioControls(settings_.RecordAudio != 0);

    // 3.
    pageChannels_ = settings_.Audio_num_channels;
    pageBits_ = settings_.Audio_bits_per_sample;
    pageRate_ = settings_.Audio_samples_per_seconds;
    pageHave_ = HaveCompressedFormat;

    // 4.
    QueryQualities();

    // 5. Sound on, but nothing the device can do.
    if (settings_.RecordAudio && qualityBits_.empty()) {
        if (qualities_) {
            qualities_->addItem(QString::fromUtf8(kNoneAvailable));
            qualities_->setCurrentIndex(0);
        }
        platform::SetDlgItemText(this, kTagName, kNoneAvailable);
        platform::SetDlgItemText(this, kDetails, " ");
        if (QWidget* choose = Control(kChooseFormat)) choose->setEnabled(false);
        return;
    }

    // 6.
    int match = -1;
    for (std::size_t i = 0; i < qualityBits_.size(); ++i)
        if (qualityBits_[i] == static_cast<std::uint32_t>(settings_.WaveInSelected))
            match = static_cast<int>(i);

    // 7. The stored quality is not offered: the first one is taken and committed.
    if (!qualityBits_.empty() && match < 0) {
        qualities_->setCurrentIndex(0);
        OnQualityChanged();
        qualities_->setCurrentIndex(0);
        SetCaptions();
        return;
    }

    // 8.
    PageAllocFormat();
    if (CompressedFormat) {
        if (pageFormat_) std::memcpy(pageFormat_.get(), CompressedFormat, CompressedFormatSize);
    } else {
        PageSuggestFormat();
    }
    ShowCompressedFormat();
    if (match >= 0 && qualities_) qualities_->setCurrentIndex(match);
    SetCaptions();
}

void CAudioDlg::SetCaptions() {
    for (const Caption& c : kCaptions) platform::SetDlgItemText(this, c.id, GetText("Audio", c.key));
}

void CAudioDlg::EnableAudioControls(bool on) {
    for (int id : kAudioControls)
        if (QWidget* w = Control(id)) w->setEnabled(on);
}

void CAudioDlg::QueryQualities() {
    platform::WAVEINCAPS caps{};
    std::uint32_t bits = 0;
    if (services_.waveIn->waveInGetDevCaps(platform::WAVE_MAPPER, &caps, sizeof caps) ==
        platform::MMSYSERR_NOERROR)
        bits = caps.dwFormats;
    qualityBits_.clear();
    const QSignalBlocker quiet(qualities_);
    for (const SoundQuality& q : kSoundQualities) {
        if (!(bits & q.bit)) continue;
        qualityBits_.push_back(q.bit);
        if (qualities_) qualities_->addItem(QString::fromUtf8(q.text));
    }
    if (qualities_) qualities_->setCurrentIndex(-1);
}

platform::WAVEFORMATEX CAudioDlg::BuildPageCaptureFormat() const {
    return MakePcmFormat(pageBits_, pageChannels_, pageRate_);
}

void CAudioDlg::PageAllocFormat() {
    if (pageFormat_) return;
    std::uint32_t size = 0;
    if (services_.compression.maxFormatSize(&size) != 0) {
        platform::MessageBox(0, GetText("MsgBox", "AudioRecordError"), "", platform::MB_ICONWARNING);
        return;
    }
    pageSize_ = std::max({size, CompressedFormatSize,
                          static_cast<std::uint32_t>(sizeof(platform::WAVEFORMATEX))});
    pageFormat_ = std::make_unique<std::uint8_t[]>(pageSize_);  // zero-filled
}

void CAudioDlg::PageSuggestFormat() {
    pageHave_ = 1;
    PageAllocFormat();
    if (!pageFormat_) {
        pageHave_ = 0;
        return;
    }
    const platform::WAVEFORMATEX capture = BuildPageCaptureFormat();
    auto* record = reinterpret_cast<platform::WAVEFORMATEX*>(pageFormat_.get());
    // PCM first: a new quality starts from its own PCM format.
    for (std::uint16_t tag : {platform::WAVE_FORMAT_PCM, platform::WAVE_FORMAT_ADPCM,
                              platform::WAVE_FORMAT_IMA_ADPCM}) {
        record->wFormatTag = tag;
        if (services_.compression.suggest(&capture, record, pageSize_,
                                          platform::media::ACM_FORMATSUGGESTF_WFORMATTAG) == 0)
            return;
    }
    pageHave_ = 0;
}

void CAudioDlg::SetSoundLine(const std::string& text) {
    platform::SetDlgItemText(mainWindow_, resources::IDC_SOUND_LINE, text.c_str());
}

void CAudioDlg::ShowCompressedFormat() {
    if (!pageHave_ || !pageFormat_) {
        platform::SetDlgItemText(this, kTagName, kNoneAvailable);
        platform::SetDlgItemText(this, kDetails, " ");
        return;
    }
    if (!settings_.RecordAudio) {
        SetSoundLine(GetText("StatusInfo", "NotRecordAudio"));
        return;
    }
    std::string tag, details;
    if (!DescribeFormat(*PageCompressedFormat(), tag, details)) return;
    platform::SetDlgItemText(this, kTagName, tag.c_str());
    platform::SetDlgItemText(this, kDetails, details.c_str());
    SetSoundLine(GetText("StatusInfo", "RecordAudio") + tag);
}

void CAudioDlg::ApplyAudioPage() {
    const int selected = qualities_ ? qualities_->currentIndex() : -1;
    if (qualityBits_.empty() || selected < 0 || selected >= static_cast<int>(qualityBits_.size()) ||
        !pageFormat_)
        return;
    if (!CompressedFormat) AllocCompressedFormat(services_.compression);
    if (!CompressedFormat) return;
    if (CompressedFormatSize < pageSize_) return;
    CompressedFormatSize = pageSize_;
    HaveCompressedFormat = pageHave_;
    std::memcpy(CompressedFormat, pageFormat_.get(), pageSize_);
    settings_.WaveInSelected = static_cast<std::int32_t>(qualityBits_[static_cast<std::size_t>(selected)]);
    settings_.Audio_bits_per_sample = pageBits_;
    settings_.Audio_num_channels = pageChannels_;
    settings_.Audio_samples_per_seconds = pageRate_;
}

void CAudioDlg::OnRecordAudio() {
    auto* box = qobject_cast<QAbstractButton*>(Control(kRecordAudio));
    if (!box) return;
    settings_.RecordAudio = box->isChecked() ? 1 : 0;
    EnableAudioControls(settings_.RecordAudio != 0);
    if (settings_.RecordAudio && !pageFormat_) PageSuggestFormat();
    ShowCompressedFormat();
    emit RecordAudioChanged(settings_.RecordAudio != 0);
}

void CAudioDlg::OnQualityChanged() {
    const int selected = qualities_ ? qualities_->currentIndex() : -1;
    if (qualityBits_.empty() || selected < 0 || selected >= static_cast<int>(qualityBits_.size()))
        return;
    const std::uint32_t bit = qualityBits_[static_cast<std::size_t>(selected)];
    for (const SoundQuality& q : kSoundQualities)
        if (q.bit == bit) {
            pageRate_ = q.rate;
            pageChannels_ = q.channels;
            pageBits_ = q.bits;
        }
    PageSuggestFormat();
    ShowCompressedFormat();
    ApplyAudioPage();
}

void CAudioDlg::OnChooseFormat() {
    if (!pageFormat_) PageSuggestFormat();
    const platform::WAVEFORMATEX capture = BuildPageCaptureFormat();
    auto* record = reinterpret_cast<platform::WAVEFORMATEX*>(pageFormat_.get());
    const platform::media::MMRESULT result = services_.chooser(this, capture, record, pageSize_);
    if (result == platform::media::MMSYSERR_NOERROR) {
        // A format was chosen, so the working copy holds a usable one.
        pageHave_ = 1;
        ShowCompressedFormat();
        ApplyAudioPage();
        return;
    }
    if (result == platform::media::ACMERR_CANCELED) return;
    char text[64];
    std::snprintf(text, sizeof text, "FormatChoose() failed with error = %u!", result);
    platform::MessageBox(Handle(), text, "Note", platform::MB_ICONWARNING);
}

void CAudioDlg::OnVolumeControl() {
    if (services_.waveIn->waveInGetNumDevs() == 0) {
        platform::MessageBox(Handle(), GetText("MsgBox", "NoAudioDevice"), "Note", platform::MB_ICONWARNING);
        return;
    }
    if (!OpenVolumeControl(services_.launcher))
        platform::MessageBox(Handle(), GetText("MsgBox", "OpenVolumeError"), "Note", platform::MB_ICONWARNING);
}

}  // namespace audio
