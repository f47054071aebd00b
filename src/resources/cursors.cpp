#include "resources/cursors.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace resources {

namespace {

QCursor OverlayCursor() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Cross-hair centred on the hot spot (5, 12), white under black for any background.
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(QPen(pass == 0 ? QColor(Qt::white) : QColor(Qt::black), pass == 0 ? 3 : 1));
        p.drawLine(5, 2, 5, 22);
        p.drawLine(0, 12, 10, 12);
    }
    // A small picture beside it: a framed landscape.
    p.setRenderHint(QPainter::Antialiasing);
    QRectF frame(13.5, 15.5, 15, 11);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(64, 140, 230));
    p.drawRect(QRectF(15, 17, 12, 5));
    p.setBrush(QColor(60, 170, 90));
    QPainterPath hill;
    hill.moveTo(15, 25);
    hill.lineTo(19, 20);
    hill.lineTo(23, 24);
    hill.lineTo(25, 22);
    hill.lineTo(27, 25);
    hill.closeSubpath();
    p.drawPath(hill);
    p.end();
    return QCursor(QPixmap::fromImage(image), 5, 12);
}

}  // namespace

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient back(0, 0, 0, s);
    back.setColorAt(0, QColor(44, 62, 104));
    back.setColorAt(1, QColor(26, 36, 62));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.22, s * 0.22);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QPointF(s / 2, s / 2), s * 0.34, s * 0.34);
    p.setBrush(QColor(236, 72, 76));
    p.drawEllipse(QPointF(s / 2, s / 2), s * 0.22, s * 0.22);
    p.end();
    return image;
}

QCursor LoadCursorResource(int id) {
    switch (id) {
        case kIdcHand: return QCursor(Qt::PointingHandCursor);
        case kIdcOverlay: return OverlayCursor();
        default: return QCursor(Qt::ArrowCursor);
    }
}

QIcon LoadIconResource(int id) {
    if (id != IDR_MAINFRAME) return {};
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}

}  // namespace resources
