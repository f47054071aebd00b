#pragma once
// CBmpButton: a push button or page tab drawn entirely from a strip of four frames (normal,
// hover, pressed or checked, disabled) and shaped to the opaque pixels of the frame it shows.
// The platform button underneath keeps the check state and the enabled state; a click (press and
// release over the button) is reported by Clicked(id) before the release handling returns.
// Thread contract: user-interface thread only.
#include "skin/bitmap_ex.h"
#include "skin/bmp_button_state.h"

#include <QAbstractButton>
#include <QRegion>

namespace skin {

class CBmpButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBmpButton(QWidget* parent = nullptr);
    ~CBmpButton() override;

    // Replaces the strip (a null image removes it) and reshapes the button.
    void SetStrip(QImage strip);
    bool HasStrip() const { return strip_.IsLoaded(); }
    // kPushMode or kTabMode.
    void SetMode(int mode);
    int Mode() const { return mode_; }

    // The frame the button shows now (1-4); 0 without a strip.
    int CurrentFrame() const { return shownFrame_; }
    const BmpButtonState& State() const { return state_; }

signals:
    void Clicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override {}  // the owner sets the check state of tabs

private:
    // Chooses the frame, cuts it out and shapes the window; the mask only changes when the shape
    // does, so reshaping never starts another paint of its own.
    void UpdateFrame();
    void Apply(const ButtonActions& actions);

    CBitmapEx strip_;
    CBitmapEx frame_;
    BmpButtonState state_;
    std::int32_t enabled_ = 0;
    int mode_ = kPushMode;
    int shownFrame_ = 0;
    QRegion shape_;
};

}  // namespace skin
