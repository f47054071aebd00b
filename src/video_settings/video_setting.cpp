#include "video_settings/video_setting.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/ui/color_picker_button.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/pixels.h"
#include "resources/cursors.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace video_settings {

namespace {

constexpr int kMinSize = 1;
constexpr int kMaxSize = 80;
constexpr int kPaletteColumns = 10;
constexpr QRgb kLightGray = 0xC0C0C0;  // the stock light grey brush

struct Caption {
    int id;
    const char* key;
};
constexpr Caption kCaptions[] = {{1081, "CursorColor"}, {1036, "LeftColor"}, {1037, "RightColor"},
                                 {1082, "Size"},        {1, "BtnOk"},        {2, "BtnCancel"}};

}  // namespace

CVideoSetting::CVideoSetting(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    if (const platform::DialogTemplate* tmpl =
            resources::FindDialogTemplate(resources::IDD_CURSOR_HIGHLIGHT))
        platform::BuildDialog(*tmpl, this);
    setWindowIcon(resources::LoadIconResource(resources::IDR_MAINFRAME));
    trackbar_ = qobject_cast<QSlider*>(platform::GetDlgItem(this, kSizeTrackbarId));
    sizeNumber_ = qobject_cast<QLabel*>(platform::GetDlgItem(this, kSizeNumberId));
    if (trackbar_) connect(trackbar_, &QSlider::valueChanged, this, &CVideoSetting::OnSize);
    for (int id : {kCursorColorId, kLeftColorId, kRightColorId})
        if (platform::ColorPickerButton* button = ColorButton(id))
            connect(button, &platform::ColorPickerButton::Chosen, this, [this, id] { OnColorChosen(id); });
    if (auto* ok = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, 1)))
        connect(ok, &QAbstractButton::clicked, this, &CVideoSetting::OnOK);
    if (auto* cancel = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, 2)))
        connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
}

platform::ColorPickerButton* CVideoSetting::ColorButton(int id) const {
    return qobject_cast<platform::ColorPickerButton*>(platform::GetDlgItem(this, id));
}

int CVideoSetting::Run() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CVideoSetting::OnInitDialog() {
    const std::pair<int, std::uint32_t> colors[] = {
        {kCursorColorId, cursorColor}, {kLeftColorId, leftColor}, {kRightColorId, rightColor}};
    for (const auto& [id, color] : colors) {
        platform::ColorPickerButton* button = ColorButton(id);
        if (!button) continue;
        button->EnableAutomaticButton(QStringLiteral("Automatic"), color);
        button->EnableOtherButton(QStringLiteral("Other"));
        button->SetColor(platform::ColorPickerButton::kAutomatic);
        button->SetColumnsNumber(kPaletteColumns);
    }
    if (trackbar_) {
        const QSignalBlocker quiet(trackbar_);  // only the user's moves change the size
        trackbar_->setRange(kMinSize, kMaxSize);
        trackbar_->setValue(size);
    }
    for (const Caption& c : kCaptions) platform::SetDlgItemText(this, c.id, GetText("MouseSetting", c.key));
    ShowSize();
}

void CVideoSetting::OnColorChosen(int id) {
    platform::ColorPickerButton* button = ColorButton(id);
    if (!button) return;
    const std::int64_t chosen = button->GetColor();
    const std::uint32_t color = chosen == platform::ColorPickerButton::kAutomatic
                                    ? button->GetAutomaticColor()
                                    : static_cast<std::uint32_t>(chosen);
    if (id == kCursorColorId) cursorColor = color;
    else if (id == kLeftColorId) leftColor = color;
    else rightColor = color;
}

void CVideoSetting::OnSize(int position) {
    size = position;
    repaint();
    ShowSize();
}

void CVideoSetting::ShowSize() {
    if (sizeNumber_) sizeNumber_->setText(QString::number(size));
}

void CVideoSetting::OnOK() {
    // The number shown is the size (it may lie beyond the trackbar's range).
    bool ok = false;
    const int shown = sizeNumber_ ? sizeNumber_->text().toInt(&ok) : 0;
    if (ok) size = shown;
    accept();
}

std::pair<int, int> CVideoSetting::HaloBounds(std::int32_t haloSize) {
    return {static_cast<int>((kPreviewSide - haloSize) * 0.5),
            static_cast<int>((kPreviewSide + haloSize) * 0.5)};
}

QImage CVideoSetting::DrawPreview(std::int32_t haloSize, std::uint32_t colorRef, bool halo) {
    QImage square(kPreviewSide, kPreviewSide, QImage::Format_RGB32);
    square.fill(kLightGray);
    if (!halo) return square;
    // Every pixel whose centre lies in the circle inscribed in the bounding square, so that the
    // circle touches all four sides of that square.
    const auto [first, last] = HaloBounds(haloSize);
    const double centre = (first + last) * 0.5, radius = (last - first) * 0.5;
    const QRgb fill = platform::ColorRefToRgb(colorRef) | 0xFF000000u;
    for (int y = std::max(first, 0); y < std::min(last, kPreviewSide); ++y)
        for (int x = std::max(first, 0); x < std::min(last, kPreviewSide); ++x) {
            const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
            if (dx * dx + dy * dy <= radius * radius) square.setPixel(x, y, fill);
        }
    return square;
}

void CVideoSetting::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(kPreviewPosition, DrawPreview(size, cursorColor, showHalo != 0));
}

}  // namespace video_settings
