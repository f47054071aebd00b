#pragma once
// CVideoDlg: the Video page (template 130). Each control writes its setting the moment it
// changes: the output format, the quality, the frame rate and the cursor options; Setting runs
// the cursor highlight dialog. It keeps the main window's type and cursor lines up to date.
// Thread contract: user-interface thread only.
#include "settings/record_settings.h"
#include "skin/child_page.h"
#include "skin/color_button.h"
#include "video_settings/video_setting.h"

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QSlider;
class QAbstractButton;

namespace video_settings {

class CVideoDlg : public skin::CChildPage {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int kFormatList = 1019;
    static constexpr int kQualityTrackbar = 1022;
    static constexpr int kQualityNumber = 1035;
    static constexpr int kFrameRateList = 1024;
    static constexpr int kTip = 1089;
    static constexpr int kRecordMouse = 1023;
    static constexpr int kHighLightMouse = 1020;
    static constexpr int kClickHighMouse = 1021;
    static constexpr int kSettingButton = 1027;

    // `mainWindow` holds the status lines; the page initialises at once from `settings`.
    CVideoDlg(settings::RecordSettings& settings, QWidget* mainWindow, QWidget* parent = nullptr);

    // Replaces how the highlight dialog is run (tests); returns 1 for OK, 2 for Cancel.
    using DialogRunner = std::function<int(CVideoSetting&)>;
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    CVideoSetting& HighlightDialog() { return highlight_; }

    // Handlers, also for tests driving the page without a mouse.
    void OnFormatChanged(int position);
    void OnFrameRateChanged(int position);
    void OnQuality(int position);
    void OnRecordMouse();
    void OnSetting();

private:
    void OnInitDialog();
    void EnableMouseOptions(bool on);
    void SetTip(std::int32_t videoType);
    QAbstractButton* CheckBox(int id) const;

    settings::RecordSettings& settings_;
    QWidget* mainWindow_;
    std::array<skin::CColorButton, 3> checkBoxes_;
    CVideoSetting highlight_;
    DialogRunner runDialog_;
    QComboBox* formats_ = nullptr;
    QComboBox* frameRates_ = nullptr;
    QSlider* quality_ = nullptr;
};

}  // namespace video_settings
