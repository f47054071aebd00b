#include "area/cap_dialog.h"

#include "area/area_desktop.h"
#include "area/area_rules.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/screen_overlay.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "skin/echo_trace.h"

#include <QKeyEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace area {

namespace {

constexpr QRgb kOutlinePen = 0xFF0000;   // red, combined as NOT (screen XOR pen)
constexpr int kOutlineWidth = 4;
constexpr QRgb kBoxFill = 0x969696;
constexpr QRgb kBoxFrame = 0x0000FF;     // blue
constexpr QRgb kHelpText = 0xFFFFFF;
constexpr QRgb kPointerText = 0xFFFF7B;  // RGB 255, 255, 123
constexpr int kTextInset = 15;

QString Text(const char* key) { return QString::fromUtf8(GetText("SelectArea", key)); }

constexpr int kTextWidth = kHelpBoxWidth - 2 * kTextInset;
constexpr int kTextSlot = 30;  // height of each help text
constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// Arial-like bold at 14 pixels, made smaller where the installed font is wider, until each help
// text fits its slot and the pointer line fits one line for any screen position.
QFont HelpFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    const QString widest = QString::fromStdString(
        FormatPointerLine(GetText("SelectArea", "PickerMouse"), 8888, 8888));
    for (int pixels = 14; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        auto fits = [&](const QString& text) {
            return metrics.boundingRect(QRect(0, 0, kTextWidth, 1000), kWrap, text).height() <=
                   kTextSlot;
        };
        if (fits(Text("PickerChoose")) && fits(Text("PickerCancel")) &&
            metrics.horizontalAdvance(widest) <= kTextWidth)
            break;
    }
    return font;
}

// The picked window's outline: a band of the pen's width inside the rectangle, each pixel
// replaced by NOT (pixel XOR pen), so it shows on any picture and never leaves the window.
void OutlineInside(QImage& image, const platform::Rect& r) {
    const QRect inside = QRect(r.left, r.top, r.Width(), r.Height()).intersected(image.rect());
    const QRect hole = QRect(r.left + kOutlineWidth, r.top + kOutlineWidth,
                             r.Width() - 2 * kOutlineWidth, r.Height() - 2 * kOutlineWidth);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (!hole.contains(x, y)) line[x] = 0xFF000000 | ~(line[x] ^ kOutlinePen);
    }
}

}  // namespace

CCapDialog::CCapDialog(const WindowGrid& grid, AreaDesktop& desktop, QWidget* parent)
    : QDialog(parent), grid_(grid), desktop_(desktop),
      screenWidth_(desktop.ScreenWidth()), screenHeight_(desktop.ScreenHeight()) {
    screen_ = desktop_.Snapshot().convertToFormat(QImage::Format_RGB32);
    if (screen_.isNull()) {
        screen_ = QImage(std::max(screenWidth_, 1), std::max(screenHeight_, 1), QImage::Format_RGB32);
        screen_.fill(Qt::black);
    }
    platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_WINDOW_PICKER), this);
    setWindowTitle(QStringLiteral("Select Window"));
    platform::MakeScreenOverlay(this, screenWidth_, screenHeight_);
    setMouseTracking(true);
    font_ = HelpFont();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

platform::Rect CCapDialog::RectAt(int x, int y) const {
    const GridWindow* window = grid_.WindowAt(x, y);
    return window ? window->rect : platform::Rect{};
}

QRect CCapDialog::HelpBox() const {
    if (boxAtBottomRight_)
        return QRect(screenWidth_ - kHelpBoxWidth, screenHeight_ - kHelpBoxHeight, kHelpBoxWidth,
                     kHelpBoxHeight);
    return QRect(0, 0, kHelpBoxWidth, kHelpBoxHeight);
}

void CCapDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    platform::TakeKeyboard(this);
}

void CCapDialog::hideEvent(QHideEvent* event) {
    platform::ReleaseKeyboard(this);
    QDialog::hideEvent(event);
}

void CCapDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    pointerX_ = p.x();
    pointerY_ = p.y();
    PickedRect = RectAt(pointerX_, pointerY_);
    boxAtBottomRight_ =
        area::HelpBoxAtBottomRight(boxAtBottomRight_, pointerX_, pointerY_, screenWidth_, screenHeight_);
    update();
    QDialog::mouseMoveEvent(event);
}

void CCapDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        reject();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CCapDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const GridWindow* window = grid_.WindowAt(p.x(), p.y());
    PickedRect = window ? window->rect : platform::Rect{};
    PickedWindow = window ? window->id : 0;
    accept();
}

void CCapDialog::MovePointerBy(int dx, int dy) {
    pointerX_ += dx;
    pointerY_ += dy;
    desktop_.MovePointer(pointerX_, pointerY_);
}

void CCapDialog::keyPressEvent(QKeyEvent* event) {
    skin::EchoTrace("WM_KEYDOWN\n");
    switch (event->key()) {
        case Qt::Key_Up: MovePointerBy(0, -1); break;
        case Qt::Key_Down: MovePointerBy(0, 1); break;
        case Qt::Key_Left: MovePointerBy(-1, 0); break;
        case Qt::Key_Right: MovePointerBy(1, 0); break;
        case Qt::Key_Escape: reject(); break;
        default: break;
    }
    event->accept();
}

void CCapDialog::paintEvent(QPaintEvent*) {
    QImage frame = screen_.copy();
    if (PickedRect.Width() > 0 && PickedRect.Height() > 0) OutlineInside(frame, PickedRect);

    QPainter painter(&frame);
    const QRect box = HelpBox();
    painter.fillRect(box, QColor(kBoxFill));
    painter.setPen(QColor(kBoxFrame));
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    painter.setFont(font_);
    const int flags = kWrap | Qt::TextDontClip;
    QRect text(box.left() + kTextInset, box.top() + 30, kTextWidth, kTextSlot);
    painter.setPen(QColor(kHelpText));
    painter.drawText(text, flags, Text("PickerChoose"));
    text.moveTop(text.top() + 30);
    painter.drawText(text, flags, Text("PickerCancel"));
    text = QRect(text.left(), text.top() + 35, text.width(), 15);
    painter.setPen(QColor(kPointerText));
    painter.drawText(text, flags,
                     QString::fromStdString(FormatPointerLine(GetText("SelectArea", "PickerMouse"),
                                                              pointerX_, pointerY_)));
    painter.end();

    QPainter(this).drawImage(0, 0, frame);
}

}  // namespace area
