#include "platform/ui/color_picker_button.h"

#include "platform/ui/pixels.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace platform {

namespace {

constexpr int kSwatch = 18;  // palette cell, pixels

std::uint32_t ToColorRef(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

QString SwatchStyle(std::uint32_t colorRef) {
    return QStringLiteral("QToolButton{background:%1;border:1px solid #808080;}"
                          "QToolButton:hover{border:2px solid #202020;}")
        .arg(QColor(ColorRefToRgb(colorRef)).name());
}

}  // namespace

ColorPickerButton::ColorPickerButton(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, &ColorPickerButton::ShowPalette);
}

const std::vector<std::uint32_t>& ColorPickerButton::PaletteColors() {
    // A row of greys, then rows of ten hues from dark to light.
    static const std::vector<std::uint32_t> colors = [] {
        std::vector<std::uint32_t> out;
        for (int i = 0; i < 10; ++i) {
            const int v = i * 255 / 9;
            out.push_back(ToColorRef(QColor(v, v, v)));
        }
        const int hues[10] = {0, 30, 55, 90, 130, 175, 200, 230, 270, 310};
        const int shades[][2] = {{255, 140}, {255, 220}, {200, 255}, {90, 255}};  // saturation, value
        for (const auto& shade : shades)
            for (int hue : hues) out.push_back(ToColorRef(QColor::fromHsv(hue, shade[0], shade[1])));
        return out;
    }();
    return colors;
}

void ColorPickerButton::SetColor(std::int64_t colorRef) {
    color_ = colorRef < 0 ? kAutomatic : (colorRef & 0xFFFFFF);
    update();
}

void ColorPickerButton::EnableAutomaticButton(const QString& text, std::uint32_t colorRef) {
    hasAutomatic_ = true;
    automaticText_ = text;
    automatic_ = colorRef & 0xFFFFFF;
    update();
}

void ColorPickerButton::EnableOtherButton(const QString& text) {
    hasOther_ = true;
    otherText_ = text;
}

std::uint32_t ColorPickerButton::ShownColor() const {
    return color_ == kAutomatic ? automatic_ : static_cast<std::uint32_t>(color_);
}

void ColorPickerButton::ShowPalette() {
    ClosePalette();
    palette_ = new QFrame(this, Qt::Popup);
    palette_->setAttribute(Qt::WA_DeleteOnClose);
    palette_->setFrameShape(QFrame::StyledPanel);
    connect(palette_, &QObject::destroyed, this, [this] { palette_ = nullptr; });
    auto* layout = new QVBoxLayout(palette_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    if (hasAutomatic_) {
        auto* automatic = new QToolButton(palette_);
        automatic->setObjectName(QStringLiteral("automatic"));
        automatic->setText(automaticText_);
        QPixmap swatch(kSwatch - 4, kSwatch - 4);
        swatch.fill(QColor(ColorRefToRgb(automatic_)));
        automatic->setIcon(QIcon(swatch));
        automatic->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        automatic->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        automatic->setAutoRaise(true);
        connect(automatic, &QToolButton::clicked, this, &ColorPickerButton::ChooseAutomatic);
        layout->addWidget(automatic);
    }

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const std::vector<std::uint32_t>& colors = PaletteColors();
    for (std::size_t i = 0; i < colors.size(); ++i) {
        auto* cell = new QToolButton(palette_);
        cell->setFixedSize(kSwatch, kSwatch);
        cell->setStyleSheet(SwatchStyle(colors[i]));
        cell->setToolTip(QColor(ColorRefToRgb(colors[i])).name());
        connect(cell, &QToolButton::clicked, this, [this, i] { ChoosePaletteColor(i); });
        grid->addWidget(cell, static_cast<int>(i) / columns_, static_cast<int>(i) % columns_);
    }
    layout->addLayout(grid);

    if (hasOther_) {
        auto* other = new QToolButton(palette_);
        other->setObjectName(QStringLiteral("other"));
        other->setText(otherText_);
        other->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        other->setAutoRaise(true);
        connect(other, &QToolButton::clicked, this, &ColorPickerButton::ChooseOther);
        layout->addWidget(other);
    }

    palette_->adjustSize();
    palette_->move(mapToGlobal(QPoint(0, height())));
    palette_->show();
}

void ColorPickerButton::ClosePalette() {
    if (palette_) palette_->close();
}

void ColorPickerButton::Choose(std::int64_t colorRef) {
    ClosePalette();
    SetColor(colorRef);
    emit Chosen();
}

void ColorPickerButton::ChooseAutomatic() { Choose(kAutomatic); }

void ColorPickerButton::ChoosePaletteColor(std::size_t index) {
    const std::vector<std::uint32_t>& colors = PaletteColors();
    if (index < colors.size()) Choose(colors[index]);
}

void ColorPickerButton::ChooseOther() {
    ClosePalette();
    const QColor initial(ColorRefToRgb(ShownColor()));
    std::optional<QColor> chosen;
    if (colorDialog_) {
        chosen = colorDialog_(initial, window());
    } else {
        const QColor c = QColorDialog::getColor(initial, window());
        if (c.isValid()) chosen = c;
    }
    if (chosen) Choose(ToColorRef(*chosen));
}

void ColorPickerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    // The colour swatch, then a drop-down arrow at the right.
    const int arrowWidth = 14;
    QRect swatch = rect().adjusted(5, 5, -5 - arrowWidth, -5);
    painter.fillRect(swatch, QColor(ColorRefToRgb(ShownColor())));
    painter.setPen(isEnabled() ? QColor(64, 64, 64) : QColor(160, 160, 160));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(width() - 5 - arrowWidth, 0, arrowWidth, height());
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
}

}  // namespace platform
