#include "platform/ui/dialog_builder.h"
#include "skin/color_button.h"
#include "skin/custom_tooltip_ctrl.h"
#include "skin/echo_trace.h"

#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(CColorButton, TextOverThePageColourWithoutItsOwnBackground) {
    QCheckBox box("Record Audio");
    skin::CColorButton colour;
    colour.SetBackgroundColor(0xF0F0F0);
    colour.Attach(&box);
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(240, 240, 240));
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(0, 0, 0));  // default text colour
    colour.SetTextColor(0x0000FF);  // 0x00BBGGRR: red
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_FALSE(box.autoFillBackground());
}

TEST(CCustomToolTipCtrl, KeepsTheIdOfTheToolWhoseTipShows) {
    QWidget window;
    auto* pause = new QPushButton(&window);
    auto* stop = new QPushButton(&window);
    platform::SetControlId(pause, 1003);
    platform::SetControlId(stop, 1004);
    skin::CCustomToolTipCtrl tips;
    tips.AddTool(pause, "Pause recording");
    tips.AddTool(stop, "Stop recording");
    EXPECT_EQ(tips.CurrentToolId(), 0);
    EXPECT_EQ(skin::CCustomToolTipCtrl::IconSize(), QSize(32, 32));

    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), QPoint(2, 2));
    QApplication::sendEvent(stop, &help);
    EXPECT_EQ(tips.CurrentToolId(), 1004);
    EXPECT_TRUE(tips.Description().isEmpty());
    QApplication::sendEvent(pause, &help);
    EXPECT_EQ(tips.CurrentToolId(), 1003);
}

TEST(EchoTrace, DoesNothingWithoutTheTraceLibrary) {
    // No "Echoline.Dll" in the private temporary folder: every call is a no-op, long or empty.
    std::string longText(2000, 'x');
    skin::EchoTrace("%s", longText.c_str());
    skin::EchoTrace("%d\n", 1);
    skin::EchoTrace("%s", "");
    SUCCEED();
}

}  // namespace
