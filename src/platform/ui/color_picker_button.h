#pragma once
// ColorPickerButton: a button that shows a colour and, when clicked, drops down a palette of
// colours in columns, with an "Automatic" entry above and an "Other..." entry below that opens
// the full colour dialog. Choosing an entry closes the palette, stores the choice (the automatic
// entry as kAutomatic) and emits Chosen(), the button's click for its dialog.
// Thread contract: user-interface thread only.
#include <QColor>
#include <QPushButton>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QFrame;

namespace platform {

class ColorPickerButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr std::int64_t kAutomatic = -1;

    explicit ColorPickerButton(QWidget* parent = nullptr);

    // Colours are 0x00BBGGRR; kAutomatic selects the automatic entry.
    void SetColor(std::int64_t colorRef);
    // The stored choice: a colour, or kAutomatic.
    std::int64_t GetColor() const { return color_; }
    // The automatic entry, with its text and colour; hidden until enabled.
    void EnableAutomaticButton(const QString& text, std::uint32_t colorRef);
    std::uint32_t GetAutomaticColor() const { return automatic_; }
    // The "Other" entry that opens the full colour dialog.
    void EnableOtherButton(const QString& text);
    void SetColumnsNumber(int columns) { columns_ = columns > 0 ? columns : 1; }
    int ColumnsNumber() const { return columns_; }

    // The palette's colours in order (0x00BBGGRR).
    static const std::vector<std::uint32_t>& PaletteColors();

    // Opens the palette below the button; the palette window while it is open, else null.
    void ShowPalette();
    QFrame* Palette() const { return palette_; }
    // What a click on an entry of the open palette does.
    void ChooseAutomatic();
    void ChoosePaletteColor(std::size_t index);
    void ChooseOther();

    // Replaces the full colour dialog (tests); returns the colour chosen, or nothing.
    using ColorDialog = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
    void SetColorDialog(ColorDialog dialog) { colorDialog_ = std::move(dialog); }

signals:
    void Chosen();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t ShownColor() const;
    void Choose(std::int64_t colorRef);
    void ClosePalette();

    std::int64_t color_ = kAutomatic;
    std::uint32_t automatic_ = 0;
    bool hasAutomatic_ = false;
    QString automaticText_;
    bool hasOther_ = false;
    QString otherText_;
    int columns_ = 8;
    QFrame* palette_ = nullptr;
    ColorDialog colorDialog_;
};

}  // namespace platform
