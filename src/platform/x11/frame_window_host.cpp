#include "platform/x11/frame_window_host.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QThread>
#include <QWidget>

namespace platform {

namespace {

class FrameWidget : public QWidget {
public:
    FrameWidget(int width, int height)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                               Qt::X11BypassWindowManagerHint) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(0, 0, width, height);
        setCursor(Qt::ArrowCursor);
    }

    void SetFill(QRect rect, QColor colour) {
        fillRect_ = rect;
        fillColour_ = colour;
        update(rect);
    }

protected:
    // The brackets are redrawn from the last Fill whenever the window is uncovered.
    void paintEvent(QPaintEvent* event) override {
        if (fillRect_.isEmpty()) return;
        QPainter painter(this);
        painter.fillRect(fillRect_.intersected(event->rect()), fillColour_);
    }

private:
    QRect fillRect_;
    QColor fillColour_;
};

class QtFrameWindowHost final : public FrameWindowHost {
public:
    QtFrameWindowHost(int width, int height) : widget_(new FrameWidget(width, height)) {}
    ~QtFrameWindowHost() override { delete widget_; }

    void SetRegion(std::vector<Rect> rects) override {
        Run([rects = std::move(rects)](FrameWidget* w) {
            QRegion region;
            for (const Rect& r : rects)
                if (r.right > r.left && r.bottom > r.top)
                    region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
            w->setMask(region);
        });
    }
    void Fill(Rect rect, std::uint32_t colour) override {
        QColor c(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        Run([rect, c](FrameWidget* w) {
            w->SetFill(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                       c);
        });
    }
    void Show() override {
        Run([](FrameWidget* w) {
            w->show();
            w->raise();
        });
    }
    void Hide() override {
        Run([](FrameWidget* w) { w->hide(); });
    }

    QWidget* Widget() const { return widget_; }

private:
    template <class F>
    void Run(F&& action) {
        FrameWidget* w = widget_;
        if (QThread::currentThread() == w->thread()) {
            action(w);
            return;
        }
        // The widget is the context: a call still queued when it is destroyed is dropped.
        QMetaObject::invokeMethod(
            w, [w, action = std::forward<F>(action)]() { action(w); }, Qt::QueuedConnection);
    }

    FrameWidget* const widget_;
};

}  // namespace

std::unique_ptr<FrameWindowHost> CreateFrameWindowHost(int width, int height) {
    return std::make_unique<QtFrameWindowHost>(width, height);
}

QWidget* FrameWindowWidget(FrameWindowHost* host) {
    auto* qt = dynamic_cast<QtFrameWindowHost*>(host);
    return qt ? qt->Widget() : nullptr;
}

}  // namespace platform
