#include "skin_painter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace skingen {

namespace {

// Palette.
const QColor kHeaderTop(35, 47, 78);
const QColor kHeaderBottom(27, 37, 63);
const QColor kBody(228, 232, 239);
const QColor kCard(240, 240, 240);  // the pages' own colour
const QColor kCardBorder(200, 208, 220);
const QColor kInk(31, 41, 55);
const QColor kMuted(107, 114, 128);
const QColor kAccent(47, 111, 237);
const QColor kAccentDark(30, 84, 196);
const QColor kRecord(229, 72, 77);
const QColor kRecordDark(196, 50, 56);
const QColor kMagenta(255, 0, 255);

enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

using FramePainter = std::function<void(QPainter&, const QRectF&, State)>;

QFont UiFont(int pixelSize, QFont::Weight weight = QFont::DemiBold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// One frame drawn with antialiasing, then laid on the colour beneath the button; pixels that
// stay mostly uncovered become magenta, so the window shape follows the drawing.
QImage Flatten(const QImage& drawn, const QColor& under) {
    QImage out(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb px = in[x];  // premultiplied
            const int a = qAlpha(px);
            if (a < 100) {
                o[x] = kMagenta.rgb();
                continue;
            }
            auto mix = [a](int premul, int base) { return premul + base * (255 - a) / 255; };
            o[x] = qRgb(mix(qRed(px), under.red()), mix(qGreen(px), under.green()),
                        mix(qBlue(px), under.blue()));
        }
    }
    return out;
}

QImage Strip(int w, int h, const QColor& under, const FramePainter& paint) {
    QImage strip(w * 4, h, QImage::Format_RGB32);
    QPainter sp(&strip);
    for (int s = 0; s < 4; ++s) {
        QImage frame(w, h, QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(p, QRectF(0, 0, w, h), static_cast<State>(s));
        p.end();
        sp.drawImage(s * w, 0, Flatten(frame, under));
    }
    sp.end();
    return strip;
}

// --- icons, drawn into a square box ------------------------------------------------------------

void IconSelectArea(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal l = b.left() + 1, t = b.top() + 1, r = b.right() - 1, bt = b.bottom() - 1;
    const qreal k = b.width() * 0.3;
    QPainterPath path;
    path.moveTo(l, t + k); path.lineTo(l, t); path.lineTo(l + k, t);
    path.moveTo(r - k, t); path.lineTo(r, t); path.lineTo(r, t + k);
    path.moveTo(r, bt - k); path.lineTo(r, bt); path.lineTo(r - k, bt);
    path.moveTo(l + k, bt); path.lineTo(l, bt); path.lineTo(l, bt - k);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(b.center(), 2.2, 2.2);
}

void IconVideo(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QRectF body(b.left(), b.top() + b.height() * 0.22, b.width() * 0.66, b.height() * 0.56);
    p.drawRoundedRect(body, 2.5, 2.5);
    QPainterPath lens;
    lens.moveTo(body.right() + 1, b.center().y());
    lens.lineTo(b.right(), body.top() + 0.5);
    lens.lineTo(b.right(), body.bottom() - 0.5);
    lens.closeSubpath();
    p.drawPath(lens);
}

void IconAudio(QPainter& p, const QRectF& b, const QColor& c) {
    const qreal cx = b.center().x();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(cx - 3, b.top(), 6, b.height() * 0.62), 3, 3);
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QRectF arc(cx - 5.5, b.top() + b.height() * 0.22, 11, b.height() * 0.56);
    p.drawArc(arc, 200 * 16, 140 * 16);
    p.drawLine(QPointF(cx, arc.bottom()), QPointF(cx, b.bottom()));
    p.drawLine(QPointF(cx - 3.5, b.bottom()), QPointF(cx + 3.5, b.bottom()));
}

void IconOutput(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal cx = b.center().x();
    p.drawLine(QPointF(cx, b.top()), QPointF(cx, b.top() + b.height() * 0.62));
    QPainterPath head;
    head.moveTo(cx - 4, b.top() + b.height() * 0.38);
    head.lineTo(cx, b.top() + b.height() * 0.64);
    head.lineTo(cx + 4, b.top() + b.height() * 0.38);
    p.drawPath(head);
    QPainterPath tray;
    tray.moveTo(b.left() + 0.5, b.top() + b.height() * 0.62);
    tray.lineTo(b.left() + 0.5, b.bottom());
    tray.lineTo(b.right() - 0.5, b.bottom());
    tray.lineTo(b.right() - 0.5, b.top() + b.height() * 0.62);
    p.drawPath(tray);
}

void IconRecordDot(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(b.center(), b.width() * 0.42, b.width() * 0.42);
}

void IconPauseBars(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal w = b.width() * 0.3;
    p.drawRoundedRect(QRectF(b.left() + b.width() * 0.12, b.top() + 1, w, b.height() - 2), 1.2, 1.2);
    p.drawRoundedRect(QRectF(b.right() - b.width() * 0.12 - w, b.top() + 1, w, b.height() - 2), 1.2,
                      1.2);
}

void IconStopSquare(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(b.adjusted(1, 1, -1, -1), 2, 2);
}

void IconPlay(QPainter& p, const QRectF& b, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath tri;
    tri.moveTo(b.left() + b.width() * 0.18, b.top());
    tri.lineTo(b.right(), b.center().y());
    tri.lineTo(b.left() + b.width() * 0.18, b.bottom());
    tri.closeSubpath();
    p.drawPath(tri);
}

using IconPainter = void (*)(QPainter&, const QRectF&, const QColor&);

// Icon and label centred together.
void IconAndLabel(QPainter& p, const QRectF& r, IconPainter icon, qreal iconSize,
                  const QString& text, const QFont& font, const QColor& iconColor,
                  const QColor& textColor) {
    p.setFont(font);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const qreal gap = 6;
    const qreal total = iconSize + gap + textWidth;
    const qreal left = r.left() + (r.width() - total) / 2;
    icon(p, QRectF(left, r.center().y() - iconSize / 2, iconSize, iconSize), iconColor);
    p.setPen(textColor);
    p.drawText(QRectF(left + iconSize + gap, r.top(), textWidth + 2, r.height()),
               Qt::AlignVCenter | Qt::AlignLeft, text);
}

// --- buttons -----------------------------------------------------------------------------------

QImage PageTab(const QString& label, IconPainter icon) {
    return Strip(101, 39, kBody, [&](QPainter& p, const QRectF& r, State s) {
        QRectF shape = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QColor fill, border, ink, iconInk;
        switch (s) {
            case kNormal: fill = QColor(250, 251, 252); border = kCardBorder; ink = kInk; iconInk = kMuted; break;
            case kHover: fill = QColor(234, 241, 254); border = QColor(147, 180, 245); ink = kAccentDark; iconInk = kAccent; break;
            case kPressed: fill = kAccent; border = kAccentDark; ink = Qt::white; iconInk = Qt::white; break;
            case kDisabled: fill = QColor(236, 238, 242); border = QColor(214, 219, 226); ink = QColor(160, 167, 179); iconInk = ink; break;
        }
        if (s == kPressed) {
            QLinearGradient g(0, 0, 0, r.height());
            g.setColorAt(0, QColor(62, 125, 245));
            g.setColorAt(1, kAccentDark);
            p.setBrush(g);
        } else {
            p.setBrush(fill);
        }
        p.setPen(QPen(border, 1));
        p.drawRoundedRect(shape, 9, 9);
        IconAndLabel(p, r, icon, 13, label, UiFont(11), iconInk, ink);
    });
}

QImage RecordButton(const QString& label, IconPainter icon, bool primary) {
    return Strip(74, 39, kBody, [&](QPainter& p, const QRectF& r, State s) {
        QRectF shape = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QColor top, bottom, border, ink, iconInk;
        if (s == kDisabled) {
            top = bottom = QColor(221, 225, 231);
            border = QColor(207, 212, 220);
            ink = iconInk = QColor(156, 163, 175);
        } else if (primary) {
            top = s == kHover ? QColor(243, 96, 100) : s == kPressed ? kRecordDark : QColor(236, 84, 89);
            bottom = s == kPressed ? QColor(176, 40, 46) : kRecordDark;
            border = QColor(170, 38, 44);
            ink = iconInk = Qt::white;
        } else {
            top = s == kHover ? QColor(241, 245, 255) : s == kPressed ? QColor(214, 222, 236) : QColor(252, 252, 253);
            bottom = s == kHover ? QColor(226, 234, 250) : s == kPressed ? QColor(200, 209, 224) : QColor(238, 241, 245);
            border = s == kHover ? QColor(147, 180, 245) : kCardBorder;
            ink = kInk;
            iconInk = icon == IconPauseBars ? QColor(217, 119, 6) : kInk;
        }
        QLinearGradient g(0, 0, 0, r.height());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setBrush(g);
        p.setPen(QPen(border, 1));
        p.drawRoundedRect(shape, 10, 10);
        const QRectF face = s == kPressed ? r.translated(0, 1) : r;
        IconAndLabel(p, face, icon, 12, label, UiFont(12, QFont::Bold), iconInk, ink);
    });
}

QImage HeaderPill(const QString& label) {
    return Strip(50, 15, kHeaderBottom, [&](QPainter& p, const QRectF& r, State s) {
        QRectF shape = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QColor fill, border, ink;
        switch (s) {
            case kNormal: fill = QColor(255, 255, 255, 22); border = QColor(255, 255, 255, 70); ink = QColor(226, 232, 244); break;
            case kHover: fill = QColor(255, 255, 255, 55); border = QColor(255, 255, 255, 140); ink = Qt::white; break;
            case kPressed: fill = kAccent; border = QColor(120, 160, 250); ink = Qt::white; break;
            case kDisabled: fill = QColor(255, 255, 255, 10); border = QColor(255, 255, 255, 40); ink = QColor(130, 140, 160); break;
        }
        // Painted on the header colour so the flattening keeps the pill solid.
        p.setPen(Qt::NoPen);
        p.setBrush(kHeaderBottom);
        p.drawRoundedRect(shape, 7.5, 7.5);
        p.setBrush(fill);
        p.setPen(QPen(border, 1));
        p.drawRoundedRect(shape, 7.5, 7.5);
        p.setFont(UiFont(9));
        p.setPen(ink);
        p.drawText(r, Qt::AlignCenter, label);
    });
}

QImage CaptionButton(bool close) {
    return Strip(21, 21, kHeaderTop, [&](QPainter& p, const QRectF& r, State s) {
        QColor fill, ink;
        switch (s) {
            case kNormal: fill = QColor(52, 66, 102); ink = QColor(220, 227, 240); break;
            case kHover: fill = close ? kRecord : QColor(74, 92, 138); ink = Qt::white; break;
            case kPressed: fill = close ? kRecordDark : kAccent; ink = Qt::white; break;
            case kDisabled: fill = QColor(44, 56, 88); ink = QColor(120, 130, 150); break;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = r.center();
        if (close) {
            p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
            p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
        } else {
            p.drawLine(c + QPointF(-4.5, 2.5), c + QPointF(4.5, 2.5));
        }
    });
}

QImage StatusButton(IconPainter icon, const QColor& iconColor) {
    const QColor under(27, 37, 63);
    return Strip(24, 24, under, [&](QPainter& p, const QRectF& r, State s) {
        QColor fill, ink = iconColor;
        switch (s) {
            case kNormal: fill = QColor(44, 58, 94); break;
            case kHover: fill = QColor(70, 88, 134); break;
            case kPressed: fill = kAccent; ink = Qt::white; break;
            case kDisabled: fill = QColor(38, 48, 76); ink = QColor(110, 120, 140); break;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(r.adjusted(1.5, 1.5, -1.5, -1.5));
        icon(p, QRectF(r.center().x() - 4.5, r.center().y() - 4.5, 9, 9), ink);
    });
}

// --- backgrounds -------------------------------------------------------------------------------

QImage MainBackground() {
    const int W = 653, H = 450;
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(kBody);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Header band with the product name.
    QLinearGradient head(0, 0, 0, 62);
    head.setColorAt(0, kHeaderTop);
    head.setColorAt(1, kHeaderBottom);
    p.fillRect(QRect(0, 0, W, 62), head);
    p.fillRect(QRect(0, 62, W, 2), QColor(47, 111, 237, 200));

    QRectF logo(16, 13, 34, 34);
    QLinearGradient lg(0, logo.top(), 0, logo.bottom());
    lg.setColorAt(0, QColor(62, 80, 126));
    lg.setColorAt(1, QColor(40, 54, 90));
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.setBrush(lg);
    p.drawRoundedRect(logo, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 45));
    p.drawEllipse(logo.center(), 11, 11);
    p.setBrush(kRecord);
    p.drawEllipse(logo.center(), 7, 7);

    p.setPen(Qt::white);
    p.setFont(UiFont(16, QFont::Bold));
    p.drawText(QPointF(62, 29), "Velmora Zudodo Raridevi");
    p.setPen(QColor(160, 175, 205));
    p.setFont(UiFont(11, QFont::Normal));
    p.drawText(QPointF(63, 47), "Screen Recorder");

    // Card behind the pages, and the status card.
    p.setPen(QPen(kCardBorder, 1));
    p.setBrush(kCard);
    p.drawRoundedRect(QRectF(15.5, 115.5, 622, 248), 10, 10);
    p.drawRoundedRect(QRectF(15.5, 369.5, 360, 70), 10, 10);
    // A thin accent marks the status card.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(47, 111, 237, 170));
    p.drawRoundedRect(QRectF(20, 378, 3, 52), 1.5, 1.5);

    // Outline of the window.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(20, 27, 45));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, W - 1, H - 1);
    p.end();
    return image;
}

QImage ChildPage() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(kCard);
    return image;
}

QImage StatusBackground() {
    const int W = 120, H = 25;
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(QColor(27, 37, 63));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kRecord);
    p.drawEllipse(QPointF(6, 12.5), 2.6, 2.6);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(70, 88, 134));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, W - 1, H - 1);
    p.end();
    return image;
}

}  // namespace

std::vector<SkinFile> DrawAllSkins() {
    return {
        {"main", MainBackground()},
        {"mini", CaptionButton(false)},
        {"close", CaptionButton(true)},
        {"Option", HeaderPill("Options")},
        {"Help", HeaderPill("Help")},
        {"Start", RecordButton("Start", IconRecordDot, true)},
        {"Pause", RecordButton("Pause", IconPauseBars, false)},
        {"Stop", RecordButton("Stop", IconStopSquare, false)},
        {"Select Area", PageTab("Select Area", IconSelectArea)},
        {"Video", PageTab("Video", IconVideo)},
        {"Audio", PageTab("Audio", IconAudio)},
        {"Output", PageTab("Output", IconOutput)},
        {"childpage", ChildPage()},
        {"ShowStatus", StatusBackground()},
        {"showstatus_pause", StatusButton(IconPauseBars, QColor(251, 191, 36))},
        {"showstatus_start", StatusButton(IconPlay, QColor(134, 239, 172))},
        {"showstatus_stop", StatusButton(IconStopSquare, QColor(248, 250, 252))},
    };
}

}  // namespace skingen
