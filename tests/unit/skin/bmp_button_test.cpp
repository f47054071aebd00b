#include "platform/ui/dialog_builder.h"
#include "skin/bmp_button.h"
#include "skin/bmp_button_state.h"
#include "support/test_support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace skin;

TEST(ChooseFrame, PushAndTabModes) {
    struct Case {
        int mode;
        bool enabled, hover, pressed, checked;
        int frame;
    } cases[] = {
        {kPushMode, true, false, false, false, kFrameNormal},
        {kPushMode, true, true, false, false, kFrameHover},
        {kPushMode, true, true, true, false, kFramePressed},
        {kPushMode, true, false, true, false, kFrameNormal},  // pressed, dragged off
        {kPushMode, false, true, true, false, kFrameDisabled},
        {kPushMode, true, false, false, true, kFrameNormal},  // a push button shows no check
        {kTabMode, true, false, false, false, kFrameNormal},
        {kTabMode, true, true, false, false, kFrameHover},
        {kTabMode, true, true, true, false, kFrameHover},     // a tab shows no press
        {kTabMode, true, false, false, true, kFramePressed},
        {kTabMode, true, true, true, true, kFramePressed},
        {kTabMode, false, false, false, true, kFrameDisabled},  // disabled wins over checked
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseFrame(c.mode, c.enabled, c.hover, c.pressed, c.checked), c.frame)
            << "mode " << c.mode << " enabled " << c.enabled << " hover " << c.hover
            << " pressed " << c.pressed << " checked " << c.checked;
}

// Events: 'i' move inside, 'o' move outside, 'd' left down, 'u' left up.
struct Script {
    const char* events;
    int clicks;
    int hover, pressed;
};

TEST(BmpButtonState, ClicksOnlyWhenReleasedOverTheButton) {
    const Script scripts[] = {
        {"idu", 1, 0, 0},     // ordinary click; hover is cleared by the release
        {"iduidu", 2, 0, 0},
        {"idou", 0, 0, 0},    // dragged off and released outside
        {"idoiu", 1, 0, 0},   // dragged off and back
        {"iduu", 1, 0, 0},    // a stray release clicks nothing
        {"u", 0, 0, 0},
        {"idi", 0, 1, 1},
        {"io", 0, 0, 0},
        {"d", 0, 1, 1},       // a press always hovers
    };
    for (const auto& s : scripts) {
        BmpButtonState state;
        int clicks = 0;
        for (const char* e = s.events; *e; ++e) {
            ButtonActions a;
            switch (*e) {
                case 'i': a = state.OnMouseMove(true); break;
                case 'o': a = state.OnMouseMove(false); break;
                case 'd': a = state.OnLeftButtonDown(); break;
                case 'u': a = state.OnLeftButtonUp(); break;
            }
            clicks += a.click ? 1 : 0;
        }
        EXPECT_EQ(clicks, s.clicks) << s.events;
        EXPECT_EQ(state.hover, s.hover) << s.events;
        EXPECT_EQ(state.pressed, s.pressed) << s.events;
    }
}

TEST(BmpButtonState, HoverCapturesAndLeavingReleasesUnlessPressed) {
    BmpButtonState state;
    ButtonActions enter = state.OnMouseMove(true);
    EXPECT_TRUE(enter.capture);
    EXPECT_TRUE(enter.repaint);
    EXPECT_FALSE(state.OnMouseMove(true).repaint);  // no repaint while nothing changes
    ButtonActions leave = state.OnMouseMove(false);
    EXPECT_TRUE(leave.releaseCapture);
    EXPECT_TRUE(leave.repaint);

    state.OnMouseMove(true);
    ButtonActions down = state.OnLeftButtonDown();
    EXPECT_TRUE(down.takeFocus);
    ButtonActions offWhilePressed = state.OnMouseMove(false);
    EXPECT_FALSE(offWhilePressed.releaseCapture);  // the press keeps following the mouse
    ButtonActions up = state.OnLeftButtonUp();
    EXPECT_TRUE(up.releaseCapture);
    EXPECT_FALSE(up.click);
}

// A strip of four 20x10 frames, each a colour of its own on a magenta frame corner.
QImage TestStrip() {
    QImage strip(80, 10, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(10, 10, 10), qRgb(20, 20, 20), qRgb(30, 30, 30),
                             qRgb(40, 40, 40)};
    for (int f = 0; f < 4; ++f)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                strip.setPixel(f * 20 + x, y,
                               (x < 3 && y < 3) ? qRgb(255, 0, 255) : colours[f]);
    return strip;
}

class CountingButton : public CBmpButton {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override {
        ++paints;
        CBmpButton::paintEvent(e);
    }
};

void Send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton) {
    Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                                                : Qt::MouseButtons();
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(CBmpButton, WithoutAStripItPaintsNothingAndKeepsItsShape) {
    CBmpButton button;
    button.resize(20, 10);
    EXPECT_EQ(button.CurrentFrame(), 0);
    EXPECT_TRUE(button.mask().isEmpty());
    QImage canvas(20, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(1, 2, 3));
    button.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(canvas.pixel(10, 5), qRgb(1, 2, 3));
}

TEST(CBmpButton, ShapeFollowsTheFrameAndMagentaIsCutOut) {
    CBmpButton button;
    button.resize(20, 10);
    button.SetStrip(TestStrip());
    EXPECT_EQ(button.CurrentFrame(), kFrameNormal);
    EXPECT_FALSE(button.mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(button.mask().contains(QPoint(3, 0)));
    EXPECT_TRUE(button.mask().contains(QPoint(19, 9)));
    QImage canvas(20, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(1, 2, 3));
    button.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(canvas.pixel(10, 5), qRgb(10, 10, 10));
}

TEST(CBmpButton, MouseDrivesTheFramesAndTheClick) {
    CBmpButton button;
    platform::SetControlId(&button, 1016);
    button.resize(20, 10);
    button.SetStrip(TestStrip());
    QSignalSpy clicks(&button, &CBmpButton::Clicked);

    Send(&button, QEvent::MouseMove, QPoint(10, 5));
    EXPECT_EQ(button.CurrentFrame(), kFrameHover);
    Send(&button, QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton);
    EXPECT_EQ(button.CurrentFrame(), kFramePressed);
    Send(&button, QEvent::MouseButtonRelease, QPoint(10, 5), Qt::LeftButton);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 1016);
    EXPECT_EQ(button.CurrentFrame(), kFrameNormal);

    // Pressed, dragged off, released outside: no click.
    Send(&button, QEvent::MouseMove, QPoint(10, 5));
    Send(&button, QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton);
    Send(&button, QEvent::MouseMove, QPoint(40, 5));
    EXPECT_EQ(button.CurrentFrame(), kFrameNormal);
    Send(&button, QEvent::MouseButtonRelease, QPoint(40, 5), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);

    button.setEnabled(false);
    EXPECT_EQ(button.CurrentFrame(), kFrameDisabled);
}

TEST(CBmpButton, TabShowsItsCheckAndDisabledWins) {
    CBmpButton tab;
    tab.resize(20, 10);
    tab.SetStrip(TestStrip());
    tab.SetMode(kTabMode);
    QSignalSpy clicks(&tab, &CBmpButton::Clicked);
    tab.setChecked(true);
    EXPECT_EQ(tab.CurrentFrame(), kFramePressed);
    // A click does not change the check state by itself: the owner does.
    Send(&tab, QEvent::MouseMove, QPoint(10, 5));
    Send(&tab, QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton);
    Send(&tab, QEvent::MouseButtonRelease, QPoint(10, 5), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(tab.isChecked());
    tab.setEnabled(false);
    EXPECT_EQ(tab.CurrentFrame(), kFrameDisabled);
    tab.setEnabled(true);
    tab.setChecked(false);
    EXPECT_EQ(tab.CurrentFrame(), kFrameNormal);
}

TEST(CBmpButton, ReshapingDoesNotRepaintForever) {
    CountingButton button;
    button.resize(20, 10);
    button.SetStrip(TestStrip());
    button.show();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return button.paints > 0; }));
    // A reshape that asked for another paint would leave one posted after every paint.
    ASSERT_TRUE(testsupport::ProcessPosted());
    const int settled = button.paints;
    ASSERT_TRUE(testsupport::ProcessPosted());
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_EQ(button.paints, settled);
}

}  // namespace
