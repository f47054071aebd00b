#include "area/area_desktop.h"

#include "platform/x11/screen_snapshot.h"
#include "platform/x11/window_stack.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace area {

namespace {

QSize PrimaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

class SystemDesktop final : public AreaDesktop {
public:
    int ScreenWidth() override { return PrimaryScreenSize().width(); }
    int ScreenHeight() override { return PrimaryScreenSize().height(); }

    QImage Snapshot() override {
        const QSize size = PrimaryScreenSize();
        return platform::SnapshotScreen(size.width(), size.height());
    }

    std::vector<GridWindow> TopLevelWindows() override {
        // Every window of this process that has a native window, shown or hidden: a window just
        // hidden may still be on the server's screen, and the overlays never offer our own.
        std::vector<std::uint64_t> own;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->testAttribute(Qt::WA_WState_Created) && w->internalWinId())
                own.push_back(static_cast<std::uint64_t>(w->internalWinId()));
        std::vector<GridWindow> windows;
        for (const platform::StackedWindow& s : platform::QueryTopLevelWindows(own))
            windows.push_back({s.id, s.rect});
        return windows;
    }

    void MovePointer(int x, int y) override { QCursor::setPos(x, y); }

    void Settle(int ms) override {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
};

}  // namespace

std::unique_ptr<AreaDesktop> SystemAreaDesktop() { return std::make_unique<SystemDesktop>(); }

}  // namespace area
