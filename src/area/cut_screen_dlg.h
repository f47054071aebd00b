#pragma once
// CCutScreenDlg: the region overlay. It covers the screen with a darkened still picture of it;
// while the left button is held, the rectangle between the press point and the pointer shows in
// its normal brightness. Releasing the button writes the rectangle into the Select Area page's
// Left, Top, Width and Height boxes; a right click or Esc closes it leaving the boxes as they
// were. Holding Shift or Ctrl while dragging freezes the lit rectangle. Created hidden once by
// the page and shown again for every use; it hides itself when it closes.
// Thread contract: user-interface thread only.
#include "platform/core/types.h"
#include "platform/x11/screen_source.h"

#include <QCursor>
#include <QDialog>
#include <QImage>

namespace area {

class CRegionDlg;

// The darkened picture: the screen alpha-blended at 150 of 255 onto black.
constexpr int kDimAlpha = 150;
QImage MakeDimmedShot(const QImage& plain);

class CCutScreenDlg : public QDialog {
    Q_OBJECT
public:
    CCutScreenDlg(int screenWidth, int screenHeight);

    // What the page hands over before it shows the overlay.
    struct Session {
        CRegionDlg* page = nullptr;
        platform::WindowHandle mainWindow = 0;  // receiver of the frame message, shown again
        bool showSelected = false;               // ShowSelectedArea when the overlay opened
        QCursor cursor;
        QImage dimmedShot, plainShot;
    };
    // Takes the session and shows the overlay over the whole screen.
    void Open(Session session);

    platform::Point PressPoint() const { return press_; }
    platform::Point Pointer() const { return pointer_; }
    bool HasShots() const { return !session_.dimmedShot.isNull() || !session_.plainShot.isNull(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void reject() override { Cancel(); }

private:
    void Release(platform::Point at);
    void Cancel();
    void Close();

    int screenWidth_, screenHeight_;
    Session session_;
    platform::Point press_, pointer_;
};

}  // namespace area
