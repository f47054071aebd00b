#include "platform/ui/up_down_ctrl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace platform {

namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(7, 7));
    return button;
}

}  // namespace

UpDownCtrl::UpDownCtrl(QWidget* parent)
    : QWidget(parent), up_(ArrowButton(Qt::UpArrow, this)), down_(ArrowButton(Qt::DownArrow, this)) {
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDownCtrl::SetBuddy(QLineEdit* buddy) {
    if (buddy_) buddy_->removeEventFilter(this);
    buddy_ = buddy;
    if (buddy_) {
        buddy_->installEventFilter(this);
        setEnabled(buddy_->isEnabled());
    }
}

void UpDownCtrl::SetRange(int lower, int upper) {
    lower_ = std::min(lower, upper);
    upper_ = std::max(lower, upper);
    position_ = std::clamp(position_, lower_, upper_);
}

void UpDownCtrl::Step(int delta) {
    if (!buddy_ || !buddy_->isEnabled()) return;
    bool ok = false;
    const long long typed = buddy_->text().trimmed().toLongLong(&ok);
    const long long from = ok ? typed : position_;
    position_ = static_cast<int>(std::clamp<long long>(from + delta, lower_, upper_));
    buddy_->setText(QString::number(position_));
}

bool UpDownCtrl::eventFilter(QObject* watched, QEvent* event) {
    // The buttons are usable exactly when their box is.
    if (watched == buddy_ && event->type() == QEvent::EnabledChange)
        setEnabled(buddy_->isEnabled());
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownCtrl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDownCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        up_->setEnabled(isEnabled());
        down_->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

}  // namespace platform
