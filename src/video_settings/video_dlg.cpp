#include "video_settings/video_dlg.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/pixels.h"
#include "resources/resource_ids.h"
#include "settings/highlight_colours.h"
#include "video_settings/video_formats.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace video_settings {

namespace {

constexpr int kMinQuality = 1;
constexpr int kMaxQuality = 100;
constexpr std::uint32_t kTipColor = 0x0000FF;  // red

struct Caption {
    int id;
    const char* key;
};
constexpr Caption kCaptions[] = {
    {1073, "GroupVideo"},       {1074, "GroupMouse"},     {1070, "VideoType"},
    {1060, "VideoQuality"},     {1061, "FPS"},            {1023, "CheckRecordMouse"},
    {1020, "CheckHighLight"},   {1021, "CheckClickLight"}, {1027, "BtnSetting"}};

}  // namespace

CVideoDlg::CVideoDlg(settings::RecordSettings& settings, QWidget* mainWindow, QWidget* parent)
    : skin::CChildPage(resources::IDD_VIDEO_PAGE, parent),
      settings_(settings),
      mainWindow_(mainWindow),
      highlight_(this),
      runDialog_([](CVideoSetting& dialog) { return dialog.Run(); }) {
    formats_ = qobject_cast<QComboBox*>(Control(kFormatList));
    frameRates_ = qobject_cast<QComboBox*>(Control(kFrameRateList));
    quality_ = qobject_cast<QSlider*>(Control(kQualityTrackbar));
    OnInitDialog();
    // Connected after initialisation: only the user's changes reach the settings.
    if (formats_)
        connect(formats_, &QComboBox::activated, this, &CVideoDlg::OnFormatChanged);
    if (frameRates_)
        connect(frameRates_, &QComboBox::activated, this, &CVideoDlg::OnFrameRateChanged);
    if (quality_) connect(quality_, &QSlider::valueChanged, this, &CVideoDlg::OnQuality);
    if (QAbstractButton* b = CheckBox(kRecordMouse))
        connect(b, &QAbstractButton::clicked, this, &CVideoDlg::OnRecordMouse);
    if (QAbstractButton* b = CheckBox(kHighLightMouse))
        connect(b, &QAbstractButton::clicked, this, [this, b] { settings_.HighLightMouse = b->isChecked(); });
    if (QAbstractButton* b = CheckBox(kClickHighMouse))
        connect(b, &QAbstractButton::clicked, this, [this, b] { settings_.ClickHighMouse = b->isChecked(); });
    if (auto* setting = qobject_cast<QAbstractButton*>(Control(kSettingButton)))
        connect(setting, &QAbstractButton::clicked, this, &CVideoDlg::OnSetting);
}

QAbstractButton* CVideoDlg::CheckBox(int id) const {
    return qobject_cast<QAbstractButton*>(Control(id));
}

void CVideoDlg::OnInitDialog() {
    // 1. Background and the check boxes' colours.
    LoadBackground();
    ClearStaticBackgrounds();
    const int boxes[] = {kRecordMouse, kHighLightMouse, kClickHighMouse};
    for (std::size_t i = 0; i < checkBoxes_.size(); ++i) {
        checkBoxes_[i].SetBackgroundColor(kPageColor);
        checkBoxes_[i].Attach(CheckBox(boxes[i]));
    }
    if (auto* tip = qobject_cast<QLabel*>(Control(kTip))) {
        QPalette palette = tip->palette();
        palette.setColor(QPalette::WindowText, QColor(platform::ColorRefToRgb(kTipColor)));
        tip->setPalette(palette);
    }

    // 2-3. The formats in list order, the current one selected with its tip.
    if (formats_) {
        const QSignalBlocker quiet(formats_);
        for (const VideoFormatEntry& f : kVideoFormats) formats_->addItem(QString::fromUtf8(f.listText));
        formats_->setCurrentIndex(FormatPosition(settings_.VideoType));
    }
    if (FormatPosition(settings_.VideoType) >= 0) SetTip(settings_.VideoType);

    // 4. Frame rates; another value leaves the list without selection.
    if (frameRates_) {
        const QSignalBlocker quiet(frameRates_);
        for (std::int32_t rate : kFrameRates) frameRates_->addItem(QStringLiteral("%1 fps").arg(rate));
        frameRates_->setCurrentIndex(FrameRatePosition(settings_.FrameRate));
    }

    // 5. Cursor options.
    if (QAbstractButton* b = CheckBox(kRecordMouse)) b->setChecked(settings_.RecordMouse != 0);
    if (QAbstractButton* b = CheckBox(kClickHighMouse)) b->setChecked(settings_.ClickHighMouse != 0);
    if (QAbstractButton* b = CheckBox(kHighLightMouse)) b->setChecked(settings_.HighLightMouse != 0);
    EnableMouseOptions(settings_.RecordMouse != 0);

    // 6. Black does not survive as a highlight colour.
    settings::ApplyHighlightColorDefaults(settings_);

    // 7. Quality.
    platform::SetDlgItemText(this, kQualityNumber, std::to_string(settings_.VideoQuanlity).c_str());
    if (quality_) {
        const QSignalBlocker quiet(quality_);
        quality_->setRange(kMinQuality, kMaxQuality);
        quality_->setValue(settings_.VideoQuanlity);
    }

    // 8.
    for (const Caption& c : kCaptions) platform::SetDlgItemText(this, c.id, GetText("Video", c.key));
}

void CVideoDlg::SetTip(std::int32_t videoType) {
    const int position = FormatPosition(videoType);
    if (position < 0) return;
    platform::SetDlgItemText(this, kTip,
                             GetText("Video", kVideoFormats[static_cast<std::size_t>(position)].tipsKey));
}

void CVideoDlg::EnableMouseOptions(bool on) {
    for (int id : {kHighLightMouse, kClickHighMouse, kSettingButton})
        if (QWidget* w = Control(id)) w->setEnabled(on);
}

void CVideoDlg::OnFormatChanged(int position) {
    if (position < 0 || position >= static_cast<int>(kVideoFormats.size())) return;
    settings_.VideoType = kVideoFormats[static_cast<std::size_t>(position)].code;
    std::string line;
    if (VideoTypeLineText(settings_.VideoType, line))
        platform::SetDlgItemText(mainWindow_, resources::IDC_TYPE_LINE, line.c_str());
    SetTip(settings_.VideoType);
}

void CVideoDlg::OnFrameRateChanged(int position) {
    if (position < 0 || position >= static_cast<int>(kFrameRates.size())) return;
    settings_.FrameRate = kFrameRates[static_cast<std::size_t>(position)];
}

void CVideoDlg::OnQuality(int position) {
    settings_.VideoQuanlity = position;
    platform::SetDlgItemText(this, kQualityNumber, std::to_string(position).c_str());
}

void CVideoDlg::OnRecordMouse() {
    QAbstractButton* box = CheckBox(kRecordMouse);
    if (!box) return;
    settings_.RecordMouse = box->isChecked() ? 1 : 0;
    EnableMouseOptions(settings_.RecordMouse != 0);
    platform::SetDlgItemText(mainWindow_, resources::IDC_CURSOR_LINE,
                             CursorLineText(settings_.RecordMouse).c_str());
}

void CVideoDlg::OnSetting() {
    highlight_.cursorColor = static_cast<std::uint32_t>(settings_.HighLightMouseCOLOR);
    highlight_.leftColor = static_cast<std::uint32_t>(settings_.ClickHighMouseLeftCOLOR);
    highlight_.rightColor = static_cast<std::uint32_t>(settings_.ClickHighMouseRightCOLOR);
    highlight_.size = settings_.HighLightSize;
    highlight_.showHalo = 1;
    if (runDialog_(highlight_) != 1) return;
    settings_.HighLightMouseCOLOR = static_cast<std::int32_t>(highlight_.cursorColor);
    settings_.ClickHighMouseLeftCOLOR = static_cast<std::int32_t>(highlight_.leftColor);
    settings_.ClickHighMouseRightCOLOR = static_cast<std::int32_t>(highlight_.rightColor);
    settings_.HighLightSize = highlight_.size;
}

}  // namespace video_settings
