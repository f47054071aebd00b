// The region overlay and the window picker, driven with the mouse and keys they receive.
#include "area/cap_dialog.h"
#include "area/cut_screen_dlg.h"
#include "area_fixture.h"

#include <QTimer>

namespace {

using namespace areatest;
using area::Box;

class RegionOverlayTest : public AreaPageTest {
protected:
    area::CCutScreenDlg* Open() {
        MakePage();
        main_.show();
        page_->OnSelectRegion();
        area::CCutScreenDlg* overlay = page_->RegionOverlay();
        EXPECT_TRUE(overlay->isVisible());
        EXPECT_FALSE(main_.isVisible());
        EXPECT_EQ(page_->RegionOverlayOpen, 1);
        EXPECT_EQ(flashes_, std::vector<int>{1});
        flashes_.clear();
        return overlay;
    }
    void Drag(QWidget* w, std::vector<QPoint> path, Qt::KeyboardModifiers heldFrom = {},
              std::size_t heldAt = 1000) {
        Mouse(w, QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
        for (std::size_t i = 1; i < path.size(); ++i)
            Mouse(w, QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton,
                  i >= heldAt ? heldFrom : Qt::NoModifier);
        Mouse(w, QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton,
              path.size() - 1 >= heldAt ? heldFrom : Qt::NoModifier);
    }
    void ExpectClosed(area::CCutScreenDlg* overlay) {
        EXPECT_FALSE(overlay->isVisible());
        EXPECT_FALSE(overlay->HasShots());
        EXPECT_EQ(page_->RegionOverlayOpen, 0);
        EXPECT_TRUE(main_.isVisible());
    }
};

TEST_F(RegionOverlayTest, ADragWritesTheNormalisedRectangleIntoTheBoxes) {
    struct Case {
        const char* name;
        std::vector<QPoint> path;
        std::vector<QString> boxes;
    } cases[] = {
        {"right and down", {{100, 100}, {250, 200}, {400, 300}}, {"100", "100", "300", "200"}},
        {"up and left", {{400, 300}, {250, 200}, {100, 100}}, {"100", "100", "300", "200"}},
        {"click", {{640, 480}}, {"640", "480", "0", "0"}},
    };
    for (const Case& c : cases) {
        area::CCutScreenDlg* overlay = Open();
        Drag(overlay, c.path);
        EXPECT_EQ(Boxes(), c.boxes) << c.name;
        EXPECT_EQ(flashes_, std::vector<int>{0}) << c.name;
        ExpectClosed(overlay);
    }
}

TEST_F(RegionOverlayTest, ShiftFreezesTheLitRectangleAndItsFarCorner) {
    area::CCutScreenDlg* overlay = Open();
    Drag(overlay, {{100, 100}, {250, 200}, {330, 260}, {400, 300}}, Qt::ShiftModifier, 2);
    EXPECT_EQ(Boxes(), (std::vector<QString>{"100", "100", "150", "100"}));
}

TEST_F(RegionOverlayTest, TheBoxesAreWrittenAsTheyAreWithoutClamping) {
    // Written one by one, Left 100 against the old Width 1900 would be clamped to 20.
    settings_.RecordLeft = 0;
    settings_.RecordRight = 1900;
    settings_.RecordBottom = 1000;
    area::CCutScreenDlg* overlay = Open();
    Drag(overlay, {{100, 100}, {400, 300}});
    EXPECT_EQ(Boxes(), (std::vector<QString>{"100", "100", "300", "200"}));
    EXPECT_EQ(flashes_, std::vector<int>{0});
}

TEST_F(RegionOverlayTest, EscapeAndRightClickKeepTheBoxesAndShowTheFrameAtTheOldArea) {
    app::ShowSelectedArea = 0;  // the frame shows again whatever the check box says
    for (int way = 0; way < 2; ++way) {
        area::CCutScreenDlg* overlay = Open();
        Mouse(overlay, QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton, Qt::LeftButton);
        Mouse(overlay, QEvent::MouseMove, {500, 400}, Qt::NoButton, Qt::LeftButton);
        if (way == 0)
            Key(overlay, Qt::Key_Escape);
        else
            Mouse(overlay, QEvent::MouseButtonPress, {500, 400}, Qt::RightButton,
                  Qt::LeftButton | Qt::RightButton);
        EXPECT_EQ(Boxes(), (std::vector<QString>{"100", "100", "800", "600"})) << way;
        EXPECT_EQ(flashes_, std::vector<int>{0}) << way;
        ExpectClosed(overlay);
    }
}

TEST_F(RegionOverlayTest, EnterDoesNothing) {
    area::CCutScreenDlg* overlay = Open();
    Key(overlay, Qt::Key_Return);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(page_->RegionOverlayOpen, 1);
    Key(overlay, Qt::Key_Escape);
}

TEST_F(RegionOverlayTest, PaintsTheScreenDimmedWithTheDraggedRectangleLit) {
    area::CCutScreenDlg* overlay = Open();
    Mouse(overlay, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    Mouse(overlay, QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::LeftButton);
    const QImage shown = overlay->grab().toImage();
    EXPECT_EQ(shown.pixel(100, 100), qRgb(10, 20, 30));
    EXPECT_EQ(shown.pixel(299, 199), qRgb(10, 20, 30));
    EXPECT_EQ(shown.pixel(300, 200), qRgb(6, 12, 18));  // 150 of 255
    EXPECT_EQ(shown.pixel(99, 150), qRgb(6, 12, 18));
    Key(overlay, Qt::Key_Escape);
}

TEST(DimmedShot, BlendsAt150Of255OntoBlack) {
    QImage plain(3, 1, QImage::Format_RGB32);
    plain.setPixel(0, 0, qRgb(255, 255, 255));
    plain.setPixel(1, 0, qRgb(0, 0, 0));
    plain.setPixel(2, 0, qRgb(100, 17, 200));
    const QImage dimmed = area::MakeDimmedShot(plain);
    EXPECT_EQ(dimmed.pixel(0, 0), qRgb(150, 150, 150));
    EXPECT_EQ(dimmed.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dimmed.pixel(2, 0), qRgb(59, 10, 118));
}

class WindowPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        desktop_.windows = {{11, {100, 120, 502, 445}}, {12, {0, 0, 1920, 1080}}};
    }
    FakeDesktop desktop_;
    area::WindowGrid grid_{1920, 1080, {{11, {100, 120, 502, 445}}, {12, {0, 0, 1920, 1080}}}};
};

TEST_F(WindowPickerTest, FollowsThePointerAndPicksTheWindowUnderIt) {
    area::CCapDialog picker(grid_, desktop_);
    EXPECT_EQ(picker.PickedRect.right, 0);
    Mouse(&picker, QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(picker.PickedRect.left, 100);
    EXPECT_EQ(picker.PickedRect.bottom, 445);
    EXPECT_FALSE(picker.HelpBoxAtBottomRight());
    Mouse(&picker, QEvent::MouseMove, {600, 300}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(picker.PickedRect.right, 1920);
    Mouse(&picker, QEvent::MouseMove, {150, 150}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(picker.HelpBoxAtBottomRight());
    EXPECT_EQ(picker.HelpBox(), QRect(1730, 950, 190, 130));

    Mouse(&picker, QEvent::MouseButtonPress, {150, 150}, Qt::LeftButton, Qt::LeftButton);
    Mouse(&picker, QEvent::MouseButtonRelease, {150, 150}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.PickedWindow, 11u);
    EXPECT_EQ(picker.PickedRect.right, 502);
}

TEST_F(WindowPickerTest, ArrowKeysMoveTheRealPointerByOnePixelAndOtherKeysDoNothing) {
    area::CCapDialog picker(grid_, desktop_);
    picker.setResult(-1);
    Mouse(&picker, QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
    for (int key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Up,
                    Qt::Key_Return, Qt::Key_A})
        Key(&picker, key);
    EXPECT_EQ(desktop_.pointerMoves,
              (std::vector<QPoint>{{301, 300}, {301, 301}, {300, 301}, {300, 300}, {300, 299}}));
    EXPECT_EQ(picker.result(), -1);
    Key(&picker, Qt::Key_Escape);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
}

TEST_F(WindowPickerTest, RightClickCancels) {
    area::CCapDialog picker(grid_, desktop_);
    picker.setResult(-1);
    Mouse(&picker, QEvent::MouseButtonPress, {300, 300}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(picker.result(), QDialog::Rejected);
}

TEST_F(WindowPickerTest, OutlinesThePickedWindowInsideItsRectangleWithTheInvertingPen) {
    area::CCapDialog picker(grid_, desktop_);
    Mouse(&picker, QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
    const QImage shown = picker.grab().toImage();
    const QRgb outlined = qRgb(10, 255 - 20, 255 - 30);  // NOT (screen XOR red)
    struct Case {
        int x, y;
        QRgb colour;
    } cases[] = {{100, 300, outlined}, {103, 300, outlined}, {104, 300, qRgb(10, 20, 30)},
                 {99, 300, qRgb(10, 20, 30)}, {501, 444, outlined}, {502, 300, qRgb(10, 20, 30)},
                 {300, 120, outlined}, {300, 124, qRgb(10, 20, 30)}};
    for (const Case& c : cases) EXPECT_EQ(shown.pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    // The help box at the top left, with its frame.
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(5, 5), qRgb(150, 150, 150));
}

TEST_F(AreaPageTest, SelectWindowFillsTheBoxesWithThePickedWindowCutAtTheScreen) {
    MakePage();
    desktop_->windows = {{21, {1800, 100, 2100, 400}}, {22, {0, 0, 1920, 1080}}};
    main_.show();
    bool hiddenWhilePicking = false;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<area::CCapDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        hiddenWhilePicking = !main_.isVisible() && page_->WindowPickerOpen == 1;
        Mouse(picker, QEvent::MouseMove, {1850, 200}, Qt::NoButton, Qt::NoButton);
        Mouse(picker, QEvent::MouseButtonRelease, {1850, 200}, Qt::LeftButton, Qt::NoButton);
    });
    page_->OnSelectWindow();
    EXPECT_TRUE(hiddenWhilePicking);
    EXPECT_EQ(Boxes(), (std::vector<QString>{"1800", "100", "120", "300"}));
    EXPECT_EQ(page_->WindowPickerOpen, 0);
    EXPECT_TRUE(main_.isVisible());
    EXPECT_EQ(flashes_, (std::vector<int>{1, 0}));
}

TEST_F(AreaPageTest, ACancelledPickKeepsTheBoxes) {
    MakePage();
    desktop_->windows = {{21, {10, 10, 200, 200}}};
    app::ShowSelectedArea = 0;
    QTimer::singleShot(0, [&] {
        if (QWidget* picker = QApplication::activeModalWidget()) Key(picker, Qt::Key_Escape);
    });
    page_->OnSelectWindow();
    EXPECT_EQ(Boxes(), (std::vector<QString>{"100", "100", "800", "600"}));
    EXPECT_EQ(page_->WindowPickerOpen, 0);
    EXPECT_EQ(flashes_, std::vector<int>{1});
}

}  // namespace
