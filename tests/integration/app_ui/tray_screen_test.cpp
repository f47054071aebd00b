// The tray icon in a real notification area (the session's tray host): it shows there, a
// double-click on it brings the hidden main window back, and the right button opens the menu.
#include "app/main_tray.h"
#include "support/main_window_fixture.h"
#include "platform/ui/notify_icon.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTimer>

namespace {

using namespace app;

void Xdotool(const QStringList& args) {
    ASSERT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
}

int Colours(const QRect& r) {
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) colours.insert(shot.pixel(x, y));
    return colours.size();
}

class TrayScreenTest : public MainWindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        MainWindowTest::SetUp();
        if (!platform::NotifyAreaAvailable()) GTEST_SKIP() << "needs a tray host";
        Xdotool({"mousemove", "5", "1075"});
    }
    // The icon's place once the tray host has taken it in.
    QRect IconPlace() {
        QRect icon;
        testsupport::WaitUntil([&] {
            icon = platform::NotifyIconGeometry(dlg_->Handle(), kTrayIconId);
            return icon.width() > 0 && icon.height() > 0 && icon.top() >= 0;
        });
        return icon;
    }
};

TEST_F(TrayScreenTest, TheIconShowsInTheTrayAndADoubleClickBringsTheHiddenWindowBack) {
    WriteConfig("[Global Options]\nMiniTray=1\nTrayIcon=1\n");
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    const QRect icon = IconPlace();
    ASSERT_TRUE(icon.isValid()) << "the icon never reached the tray";
    // The session's tray host is a 120 x 24 strip at the top right of the screen.
    const QRect strip(QGuiApplication::primaryScreen()->size().width() - 120, 0, 120, 24);
    EXPECT_TRUE(strip.contains(icon.center()))
        << icon.x() << "," << icon.y() << " " << icon.width() << "x" << icon.height();
    // The application icon is drawn there, not an empty slot.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Colours(icon) >= 3; }));

    dlg.OnMini();  // to the tray
    ASSERT_FALSE(dlg.isVisible());
    Xdotool({"mousemove", QString::number(icon.center().x()), QString::number(icon.center().y())});
    Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dlg.isVisible(); }));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    // And a second double-click hides it again.
    Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }));
    Xdotool({"mousemove", "5", "1075"});
}

TEST_F(TrayScreenTest, TheRightButtonOpensTheMenuRightAlignedAtThePointer) {
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    const QRect icon = IconPlace();
    ASSERT_TRUE(icon.isValid());
    const QPoint at = icon.center();
    Xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});

    // The menu runs modally: look at it from a timer inside its own loop, then dismiss it.
    QStringList labels;
    QRect menuPlace;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) return;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) labels << a->text();
        menuPlace = menu->geometry();
        menu->close();
        watch.stop();
    });
    watch.start();
    Xdotool({"click", "3"});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !labels.isEmpty(); }));
    EXPECT_EQ(labels, QStringList({"&Record", "&Pause", "&Stop", "&Exit"}));
    EXPECT_NEAR(menuPlace.right() + 1, at.x(), 1);
    EXPECT_TRUE(dlg.isVisible());
    Xdotool({"mousemove", "5", "1075"});
}

}  // namespace
