#pragma once
// CCapDialog: the window picker. A modal overlay covering the screen with a still picture of it
// taken when it opens; the window under the pointer is outlined and a help box in a corner
// shows what to do and where the pointer is. A left click picks the window (the dialog ends
// accepted, PickedRect holds its rectangle); a right click or Esc cancels. The arrow keys move
// the real pointer by one pixel; Enter and every other key do nothing.
// Thread contract: user-interface thread only.
#include "area/window_grid.h"
#include "platform/core/types.h"

#include <QDialog>
#include <QFont>
#include <QImage>

namespace area {

class AreaDesktop;

class CCapDialog : public QDialog {
    Q_OBJECT
public:
    // The grid and the desktop stay owned by the caller and must outlive the dialog.
    CCapDialog(const WindowGrid& grid, AreaDesktop& desktop, QWidget* parent = nullptr);

    // The rectangle of the window under the pointer (all 0 until the first move, and for a
    // point without a window) and, after a pick, that window.
    platform::Rect PickedRect{};
    std::uint64_t PickedWindow = 0;

    int PointerX() const { return pointerX_; }
    int PointerY() const { return pointerY_; }
    bool HelpBoxAtBottomRight() const { return boxAtBottomRight_; }
    // The help box's rectangle in screen coordinates.
    QRect HelpBox() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void MovePointerBy(int dx, int dy);
    platform::Rect RectAt(int x, int y) const;

    const WindowGrid& grid_;
    AreaDesktop& desktop_;
    int screenWidth_, screenHeight_;
    QImage screen_;
    QFont font_;
    int pointerX_ = 0, pointerY_ = 0;
    bool boxAtBottomRight_ = false;
};

}  // namespace area
