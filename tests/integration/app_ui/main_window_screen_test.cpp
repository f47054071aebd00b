// The main window on a real X display with a window manager: placement, skin, shaped buttons,
// hover and press frames driven by real pointer input, dragging and minimising.
#include "app/main_messages.h"
#include "app/main_skin_layout.h"
#include "app/status_lines.h"
#include "support/main_window_fixture.h"
#include "skin/bitmap_utils.h"
#include "skin/bmp_button.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QWindow>

namespace {

using namespace app;

bool HaveX11() { return QGuiApplication::platformName() == "xcb"; }

void Xdotool(const QStringList& args) {
    ASSERT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
}

QImage GrabScreen(const QRect& r) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage Skin(const char* file) {
    return skin::LoadImageFile(platform::GetProgramFolder() + file);
}

// Screen pixels of a button equal its frame wherever the frame is opaque, and the window's
// background where the frame is cut out.
bool ShowsFrame(CRiviveZuzuveDlg& dlg, int id, int frame) {
    skin::CBmpButton* button = dlg.Button(id);
    const QRect onScreen(dlg.mapToGlobal(button->pos()), button->size());
    const QImage screen = GrabScreen(onScreen);
    skin::CBitmapEx expected;
    const char* file = nullptr;
    for (const SkinButtonPlace& p : kSkinButtons)
        if (p.id == id) file = p.file;
    skin::ExtractStateBitmap(Skin(file), expected, frame);
    const QImage background = Skin("skins/main.bmp");
    for (int y = 0; y < expected.Image().height(); ++y)
        for (int x = 0; x < expected.Image().width(); ++x) {
            const QRgb px = expected.Image().pixel(x, y) & 0xFFFFFF;
            const bool cut = qRed(px) == 255 && qGreen(px) <= 16 && qBlue(px) == 255;
            const QRgb want = cut ? background.pixel(button->x() + x, button->y() + y) : px;
            if ((screen.pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF)) {
                return false;
            }
        }
    return true;
}

bool WaitForFrame(CRiviveZuzuveDlg& dlg, int id, int frame) {
    return testsupport::WaitUntil([&] { return ShowsFrame(dlg, id, frame); },
                                  std::chrono::seconds(3));
}

QPoint CentreOf(CRiviveZuzuveDlg& dlg, int id) {
    QWidget* w = dlg.Button(id);
    return dlg.mapToGlobal(w->geometry().center());
}

void MoveTo(const QPoint& p) {
    Xdotool({"mousemove", QString::number(p.x()), QString::number(p.y())});
}

class MainWindowScreenTest : public MainWindowTest {
protected:
    void SetUp() override {
        if (!HaveX11()) GTEST_SKIP() << "needs an X display";
        MainWindowTest::SetUp();
        MoveTo(QPoint(5, 1075));  // the pointer away from the window
    }
};

TEST_F(MainWindowScreenTest, ComesUpCentredCaptionlessAndSkinned) {
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QPoint centred((screen.width() - 653) / 2, (screen.height() - 450) / 2);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dlg.frameGeometry().topLeft() == centred; }))
        << dlg.frameGeometry().x() << "," << dlg.frameGeometry().y();
    EXPECT_EQ(dlg.frameGeometry(), dlg.geometry());  // no caption, no border from the manager

    // The background: an empty stretch of it shows main.bmp exactly.
    const QImage background = Skin("skins/main.bmp");
    const QRect patch(440, 75, 150, 30);
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        return GrabScreen(patch.translated(dlg.pos())) == background.copy(patch);
    }));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_TAB_AREA, skin::kFramePressed));  // checked
    EXPECT_TRUE(WaitForFrame(dlg, IDC_TAB_VIDEO, skin::kFrameNormal));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_START, skin::kFrameNormal));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_STOP, skin::kFrameDisabled));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_CLOSE, skin::kFrameNormal));

    for (auto [id, section, key] : {std::tuple{IDC_AREA_LINE, "StatusInfo", "SelectMode"},
                                    std::tuple{IDC_CURSOR_LINE, "StatusInfo", "RecordMouse"}}) {
        auto* label = qobject_cast<QLabel*>(dlg.Control(id));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), GetText(section, key));
        EXPECT_TRUE(label->isVisible());
    }
}

TEST_F(MainWindowScreenTest, HoverAndPressShowTheirFramesAndAClickNeedsTheRelease) {
    CRiviveZuzuveDlg& dlg = Make();
    int options = 0;
    dlg.OnCommand(IDC_OPTION, [&] { ++options; });
    Show();
    ASSERT_TRUE(WaitForFrame(dlg, IDC_TAB_VIDEO, skin::kFrameNormal));

    MoveTo(CentreOf(dlg, IDC_TAB_VIDEO));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_TAB_VIDEO, skin::kFrameHover));
    Xdotool({"click", "1"});
    EXPECT_TRUE(WaitForFrame(dlg, IDC_TAB_VIDEO, skin::kFramePressed));  // now checked
    EXPECT_TRUE(WaitForFrame(dlg, IDC_TAB_AREA, skin::kFrameNormal));
    EXPECT_TRUE(dlg.Page(1)->isVisible());
    EXPECT_FALSE(dlg.Page(0)->isVisible());

    // Press on Option, drag off, release outside: pressed frame, then no click.
    MoveTo(CentreOf(dlg, IDC_OPTION));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_OPTION, skin::kFrameHover));
    Xdotool({"mousedown", "1"});
    EXPECT_TRUE(WaitForFrame(dlg, IDC_OPTION, skin::kFramePressed));
    MoveTo(CentreOf(dlg, IDC_OPTION) + QPoint(0, 60));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_OPTION, skin::kFrameNormal));
    Xdotool({"mouseup", "1"});
    // Coming back shows the hover frame, so the release before it has been handled too.
    MoveTo(CentreOf(dlg, IDC_OPTION));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_OPTION, skin::kFrameHover));
    EXPECT_EQ(options, 0);

    // A real click runs the command once.
    Xdotool({"click", "1"});
    EXPECT_TRUE(testsupport::WaitUntil([&] { return options == 1; }));
    MoveTo(QPoint(5, 1075));
    EXPECT_TRUE(WaitForFrame(dlg, IDC_OPTION, skin::kFrameNormal));
}

TEST_F(MainWindowScreenTest, DraggingTheBackgroundMovesTheWindow) {
    CRiviveZuzuveDlg& dlg = Make();
    std::vector<int> marks;
    dlg.SetClickMarkHandler([&](int m) { marks.push_back(m); });
    Show();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QPoint centred((screen.width() - 653) / 2, (screen.height() - 450) / 2);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dlg.pos() == centred; }));
    const QPoint grab = dlg.pos() + QPoint(320, 20);  // the header, no control there
    MoveTo(grab);
    Xdotool({"mousedown", "1"});
    for (int step = 1; step <= 4; ++step) {
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(80));
        MoveTo(grab + QPoint(-50 * step, 30 * step));
    }
    Xdotool({"mouseup", "1"});
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dlg.pos() == centred + QPoint(-200, 120); }))
        << dlg.pos().x() << "," << dlg.pos().y();
    EXPECT_EQ(marks, std::vector<int>{kClickLeft});
    // A press reported by the click hook moves nothing.
    const QPoint placed = dlg.pos();
    platform::SendMessage(dlg.Handle(), platform::WM_LBUTTONDOWN, 1, 0);
    testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(dlg.pos(), placed);
}

TEST_F(MainWindowScreenTest, MiniMinimisesOrHidesToTheTray) {
    struct Case {
        const char* config;
        bool toTray;
    } cases[] = {{"[Global Options]\nMiniTray=0\nTrayIcon=1\n", false},
                 {"[Global Options]\nMiniTray=1\nTrayIcon=1\n", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        WriteConfig(c.config);
        CRiviveZuzuveDlg& dlg = Make();
        Show();
        ASSERT_TRUE(WaitForFrame(dlg, IDC_MINI, skin::kFrameNormal));
        MoveTo(CentreOf(dlg, IDC_MINI));
        ASSERT_TRUE(WaitForFrame(dlg, IDC_MINI, skin::kFrameHover));
        Xdotool({"click", "1"});
        if (c.toTray) {
            EXPECT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }));
        } else {
            EXPECT_TRUE(testsupport::WaitUntil([&] {
                return dlg.windowHandle()->windowState() & Qt::WindowMinimized;
            }));
        }
        MoveTo(QPoint(5, 1075));
    }
}

TEST_F(MainWindowScreenTest, TheWindowManagersMinimiseAndRestoreAreSystemCommands) {
    WriteConfig("[Global Options]\nMiniTray=0\n");
    CRiviveZuzuveDlg& dlg = Make();
    int hides = 0, shows = 0;
    dlg.Messages().On(WM_USER_FLASHFRAME, [&](platform::WPARAM w, platform::LPARAM) {
        (w == 1 ? hides : shows) += 1;
        return 0;
    });
    Show();
    shows = 0;
    const QString id = QString::number(dlg.winId());
    Xdotool({"windowminimize", id});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dlg.isMinimized(); }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return hides > 0; }));
    Xdotool({"windowactivate", id});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dlg.isMinimized(); }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return shows == 1; }));  // the region's frame again

    // The program minimising itself (Start with "minimise when recording") is no system command.
    hides = 0;
    dlg.MinimizeQuietly();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dlg.isMinimized(); }));
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_EQ(hides, 0);
    EXPECT_TRUE(dlg.isVisible());
}

}  // namespace
