#include "platform/ui/screen_overlay.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

constexpr int kGrabRetryMs = 20;
constexpr int kGrabAttempts = 50;

void TryGrab(QPointer<QWidget> window, int attemptsLeft) {
    if (!window || !window->isVisible()) return;
    window->raise();
    window->activateWindow();
    window->setFocus(Qt::OtherFocusReason);
    QWindow* handle = window->windowHandle();
    if (handle && handle->setKeyboardGrabEnabled(true)) return;
    if (attemptsLeft > 0)
        QTimer::singleShot(kGrabRetryMs, window, [window, attemptsLeft] {
            TryGrab(window, attemptsLeft - 1);
        });
}

}  // namespace

void MakeScreenOverlay(QWidget* window, int width, int height) {
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint);
    window->setFocusPolicy(Qt::StrongFocus);
    window->setGeometry(0, 0, width, height);
    window->setFixedSize(width, height);
}

void TakeKeyboard(QWidget* window) { TryGrab(window, kGrabAttempts); }

void ReleaseKeyboard(QWidget* window) {
    if (QWindow* handle = window ? window->windowHandle() : nullptr)
        handle->setKeyboardGrabEnabled(false);
}

}  // namespace platform
