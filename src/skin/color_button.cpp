#include "skin/color_button.h"

#include "platform/ui/pixels.h"

#include <QAbstractButton>
#include <QPalette>

namespace skin {

void CColorButton::Attach(QAbstractButton* button) {
    button_ = button;
    Apply();
}

void CColorButton::SetBackgroundColor(std::uint32_t colorRef) {
    background_ = colorRef;
    Apply();
}

void CColorButton::SetTextColor(std::uint32_t colorRef) {
    text_ = colorRef;
    Apply();
}

void CColorButton::Apply() {
    if (!button_) return;
    QPalette palette = button_->palette();
    palette.setColor(QPalette::Window, QColor(platform::ColorRefToRgb(background_)));
    palette.setColor(QPalette::WindowText, QColor(platform::ColorRefToRgb(text_)));
    palette.setColor(QPalette::ButtonText, QColor(platform::ColorRefToRgb(text_)));
    button_->setPalette(palette);
    // The text is drawn straight over whatever the page painted beneath it.
    button_->setAutoFillBackground(false);
    button_->setAttribute(Qt::WA_TranslucentBackground, false);
}

}  // namespace skin
