#include "area/cut_screen_dlg.h"

#include "area/area_rules.h"
#include "area/region_dlg.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/screen_overlay.h"
#include "recording/recording_messages.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace area {

QImage MakeDimmedShot(const QImage& plain) {
    QImage dimmed = plain.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < dimmed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(dimmed.scanLine(y));
        for (int x = 0; x < dimmed.width(); ++x) {
            auto dim = [](int c) { return (c * kDimAlpha + 127) / 255; };
            line[x] = qRgb(dim(qRed(line[x])), dim(qGreen(line[x])), dim(qBlue(line[x])));
        }
    }
    return dimmed;
}

CCutScreenDlg::CCutScreenDlg(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {
    platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_REGION_OVERLAY), this);
    setWindowTitle(QStringLiteral("Select Region"));
    platform::MakeScreenOverlay(this, screenWidth_, screenHeight_);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CCutScreenDlg::Open(Session session) {
    session_ = std::move(session);
    press_ = pointer_ = {};
    setCursor(session_.cursor);
    setGeometry(0, 0, screenWidth_, screenHeight_);
    show();
}

void CCutScreenDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    platform::TakeKeyboard(this);
}

void CCutScreenDlg::hideEvent(QHideEvent* event) {
    platform::ReleaseKeyboard(this);
    QDialog::hideEvent(event);
}

void CCutScreenDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        press_ = pointer_ = {p.x(), p.y()};
    } else if (event->button() == Qt::RightButton) {
        Cancel();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CCutScreenDlg::mouseMoveEvent(QMouseEvent* event) {
    // Followed only while the left button alone is down, without Shift or Ctrl.
    const bool dragging = event->buttons() == Qt::LeftButton &&
                          !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (dragging) {
        const QPoint p = event->globalPosition().toPoint();
        pointer_ = {p.x(), p.y()};
        update();
    }
    QDialog::mouseMoveEvent(event);
}

void CCutScreenDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        Release({p.x(), p.y()});
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void CCutScreenDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) Cancel();
    // Enter is taken here and does nothing; other keys go the normal way.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCutScreenDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (session_.dimmedShot.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(0, 0, session_.dimmedShot);
    const int left = std::min(press_.x, pointer_.x), right = std::max(press_.x, pointer_.x);
    const int top = std::min(press_.y, pointer_.y), bottom = std::max(press_.y, pointer_.y);
    const QRect lit(left, top, right - left, bottom - top);
    if (!lit.isEmpty() && !session_.plainShot.isNull())
        painter.drawImage(lit.topLeft(), session_.plainShot, lit);
}

void CCutScreenDlg::Release(platform::Point at) {
    const platform::Rect r = DragRectangle(press_, pointer_, at);
    CRegionDlg* page = session_.page;
    if (page) {
        page->WriteBoxes(AreaBoxes{r.left, r.top, r.Width(), r.Height()});
        page->RegionOverlayOpen = 0;
    }
    if (session_.showSelected)
        platform::SendMessage(session_.mainWindow, recording::WM_USER_FLASHFRAME, 0, 0);
    press_ = pointer_ = {};
    Close();
}

void CCutScreenDlg::Cancel() {
    platform::SendMessage(session_.mainWindow, recording::WM_USER_FLASHFRAME, 0, 0);
    if (session_.page) session_.page->RegionOverlayOpen = 0;
    Close();
}

// Frees the pictures, shows the main window again and hides the overlay.
void CCutScreenDlg::Close() {
    session_.dimmedShot = QImage();
    session_.plainShot = QImage();
    if (QWidget* main = platform::WidgetOf(session_.mainWindow)) main->showNormal();
    hide();
}

}  // namespace area
