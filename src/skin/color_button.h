#pragma once
// CColorButton: gives a check box or option button of a page its text colour over the page's
// background colour, with a transparent text background.
// Thread contract: user-interface thread only.
#include <QColor>
#include <cstdint>

class QAbstractButton;

namespace skin {

class CColorButton {
public:
    // Binds the control; the colours set so far are applied at once.
    void Attach(QAbstractButton* button);
    QAbstractButton* Button() const { return button_; }

    // Colours are 0x00BBGGRR.
    void SetBackgroundColor(std::uint32_t colorRef);
    void SetTextColor(std::uint32_t colorRef);
    std::uint32_t BackgroundColor() const { return background_; }
    std::uint32_t TextColor() const { return text_; }

private:
    void Apply();
    QAbstractButton* button_ = nullptr;
    std::uint32_t background_ = 0xF0F0F0;
    std::uint32_t text_ = 0;
};

}  // namespace skin
