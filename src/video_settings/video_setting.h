#pragma once
// CVideoSetting: the modal cursor highlight dialog (template 149). It edits its own copies of
// the halo colour, the left- and right-click colours and the halo size, and draws an 80 x 80
// preview of the halo; the Video page copies the values in before a run and back after OK.
// Thread contract: user-interface thread only.
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <cstdint>

class QLabel;
class QSlider;

namespace platform {
class ColorPickerButton;
}

namespace video_settings {

class CVideoSetting : public QDialog {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int kCursorColorId = 1015;
    static constexpr int kLeftColorId = 1018;
    static constexpr int kRightColorId = 1026;
    static constexpr int kSizeTrackbarId = 1064;
    static constexpr int kSizeNumberId = 1090;
    static constexpr int kPreviewSide = 80;
    // Where the preview goes, in the dialog's client area (the place under the size trackbar
    // that a 3-pixel frame and a 23-pixel caption put at (168, 171) of the outer window).
    static constexpr QPoint kPreviewPosition{165, 145};

    explicit CVideoSetting(QWidget* parent = nullptr);

    // The five fields: set before each run, read after OK. Colours are 0x00BBGGRR.
    std::uint32_t cursorColor = 0;
    std::uint32_t leftColor = 0;
    std::uint32_t rightColor = 0;
    std::int32_t size = 0;
    std::int32_t showHalo = 0;

    // Initialises the controls from the fields and runs the dialog; OK (1) or Cancel (2).
    int Run();
    // Initialises the controls from the fields (Run does this first; tests call it alone).
    void OnInitDialog();
    // OK: reads the shown size number back into `size` and ends with OK.
    void OnOK();

    platform::ColorPickerButton* ColorButton(int id) const;
    QSlider* SizeTrackbar() const { return trackbar_; }

    // The preview square for a halo of `size` pixels in `colorRef` (grey only without halo).
    static QImage DrawPreview(std::int32_t size, std::uint32_t colorRef, bool showHalo);
    // The halo's bounding square on both axes: [first, second) within the preview.
    static std::pair<int, int> HaloBounds(std::int32_t size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnColorChosen(int id);
    void OnSize(int position);
    void ShowSize();

    QSlider* trackbar_ = nullptr;
    QLabel* sizeNumber_ = nullptr;
};

}  // namespace video_settings
