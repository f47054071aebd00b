#pragma once
// CAudioDlg: the Audio page (template 131). Record Audio switches sound on and off; the quality
// list offers the PCM qualities the capture device reports; the compressed format used when
// sound and video are joined is shown and chosen here. The page edits a working copy of the
// formats and commits it into the settings and the process's compressed format after every
// successful change. It keeps the main window's sound line up to date.
// Thread contract: user-interface thread only.
#include "audio/compressed_format.h"
#include "audio/volume_control.h"
#include "platform/core/wave_format.h"
#include "platform/media/acm.h"
#include "platform/sound/wave_in.h"
#include "settings/record_settings.h"
#include "skin/child_page.h"
#include "skin/color_button.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;

namespace audio {

// The format chooser: fills `format` (`size` bytes) from the formats `source` converts to.
using FormatChooser = std::function<platform::media::MMRESULT(
    QWidget* owner, const platform::WAVEFORMATEX& source, platform::WAVEFORMATEX* format,
    std::uint32_t size)>;

// What the Audio page calls; every member left empty takes the system's implementation.
struct AudioPageServices {
    platform::WaveInApi* waveIn = nullptr;
    CompressionCalls compression;
    FormatChooser chooser;
    ProgramLauncher launcher;
};

class CAudioDlg : public skin::CChildPage {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int kRecordAudio = 1018;
    static constexpr int kQualityList = 1025;
    static constexpr int kVolumeControl = 1033;
    static constexpr int kTagName = 1011;
    static constexpr int kDetails = 1012;
    static constexpr int kChooseFormat = 1015;
    static constexpr int kUnusedList = 1024;

    using Services = AudioPageServices;

    // `mainWindow` holds the sound line; the page initialises at once from `settings`.
    CAudioDlg(settings::RecordSettings& settings, QWidget* mainWindow, Services services = {},
              QWidget* parent = nullptr);
    ~CAudioDlg() override;

    // Handlers, also for tests driving the page without a mouse.
    void OnRecordAudio();
    void OnQualityChanged();
    void OnChooseFormat();
    void OnVolumeControl();

    // The working copy.
    const platform::WAVEFORMATEX* PageCompressedFormat() const;
    std::uint32_t PageCompressedFormatSize() const { return pageSize_; }
    std::int32_t PageHaveCompressedFormat() const { return pageHave_; }
    const std::vector<std::uint32_t>& QualityBits() const { return qualityBits_; }

signals:
    // The RecordAudio check box has set the setting to `recordAudio`.
    void RecordAudioChanged(bool recordAudio);

private:
    void OnInitDialog();
    void SetCaptions();
    void EnableAudioControls(bool on);
    void QueryQualities();
    platform::WAVEFORMATEX BuildPageCaptureFormat() const;
    void PageAllocFormat();
    void PageSuggestFormat();
    void ShowCompressedFormat();
    void ApplyAudioPage();
    void SetSoundLine(const std::string& text);

    settings::RecordSettings& settings_;
    QWidget* mainWindow_;
    Services services_;
    skin::CColorButton recordAudioBox_;
    QComboBox* qualities_ = nullptr;

    std::int32_t pageRate_ = 0, pageChannels_ = 0, pageBits_ = 0;
    std::unique_ptr<std::uint8_t[]> pageFormat_;  // zero-filled record of pageSize_ bytes
    std::uint32_t pageSize_ = 0;
    std::int32_t pageHave_ = 1;
    std::vector<std::uint32_t> qualityBits_;
};

}  // namespace audio
