#include "skin/bmp_button.h"

#include "platform/ui/dialog_builder.h"
#include "resources/cursors.h"
#include "skin/bitmap_utils.h"
#include "skin/echo_trace.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

CBmpButton::CBmpButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(resources::LoadCursorResource(resources::kIdcHand));
}

CBmpButton::~CBmpButton() = default;

void CBmpButton::SetStrip(QImage strip) {
    strip_.Attach(std::move(strip));
    frame_.DeleteObject();  // the frame shown came from the old strip
    if (!strip_.IsLoaded()) {
        frame_.DeleteObject();
        shownFrame_ = 0;
        shape_ = QRegion();
        clearMask();
    }
    UpdateFrame();
    update();
}

void CBmpButton::SetMode(int mode) {
    mode_ = mode;
    setCheckable(mode == kTabMode);
    UpdateFrame();
    update();
}

void CBmpButton::UpdateFrame() {
    enabled_ = isEnabled() ? 1 : 0;
    if (!strip_.IsLoaded()) return;
    bool checked = false;
    if (mode_ == kTabMode) {
        checked = isChecked();
        EchoTrace("%d\n", checked ? 1 : 0);
    }
    const int frame = ChooseFrame(mode_, enabled_ != 0, state_.hover != 0, state_.pressed != 0,
                                  checked);
    if (frame != shownFrame_ || frame_.Image().isNull()) {
        ExtractStateBitmap(strip_.Image(), frame_, frame);
        shownFrame_ = frame;
    }
    std::optional<QRegion> shape = BitmapToRegion(frame_.Image());
    if (shape && *shape != shape_) {
        shape_ = *shape;
        setMask(shape_);
    }
}

void CBmpButton::paintEvent(QPaintEvent*) {
    if (!strip_.IsLoaded()) return;
    if ((isEnabled() ? 1 : 0) != enabled_) UpdateFrame();
    QPainter painter(this);
    painter.setClipRegion(shape_);
    DrawBitmap(GetBitmapRect(frame_.Image()), frame_.Image(), painter);
}

void CBmpButton::Apply(const ButtonActions& a) {
    // Capture: Qt follows the mouse outside a pressed button by itself (implicit grab), and a
    // hovered button learns of the pointer leaving through leaveEvent.
    if (a.takeFocus) setFocus(Qt::MouseFocusReason);
    if (a.repaint) {
        UpdateFrame();
        repaint();
    }
    if (a.click) emit Clicked(platform::GetControlId(this));
}

void CBmpButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Apply(state_.OnLeftButtonDown());
}

void CBmpButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // Hover follows the release point: a press dragged off the button gives no click.
    if (!rect().contains(event->position().toPoint()) && state_.hover) Apply(state_.OnMouseMove(false));
    Apply(state_.OnLeftButtonUp());
}

void CBmpButton::mouseMoveEvent(QMouseEvent* event) {
    Apply(state_.OnMouseMove(rect().contains(event->position().toPoint())));
}

void CBmpButton::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void CBmpButton::enterEvent(QEnterEvent* event) {
    // The pointer arriving is a move over the button, even when no motion follows.
    Apply(state_.OnMouseMove(rect().contains(event->position().toPoint())));
}

void CBmpButton::leaveEvent(QEvent*) {
    if (!state_.pressed) Apply(state_.OnMouseMove(false));
}

void CBmpButton::focusInEvent(QFocusEvent*) {}
void CBmpButton::focusOutEvent(QFocusEvent*) {}

void CBmpButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        UpdateFrame();
        update();
    }
    QAbstractButton::changeEvent(event);
}

void CBmpButton::checkStateSet() {
    UpdateFrame();
    update();
}

}  // namespace skin
