// The recording status window: its time text, its Pause/Resume toggle with strip and tip, and
// its Stop button.
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "recording/show_status_dlg.h"
#include "skin/bitmap_utils.h"
#include "skin/bmp_button.h"
#include "support/test_support.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <gtest/gtest.h>

using recording::CShowStatusDlg;

namespace {

class StatusWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        const QString skins = QString::fromStdString(platform::GetProgramFolder() + "skins");
        if (!QFileInfo::exists(skins)) QFile::link(RZ_BIN_DIR "/skins", skins);
        dlg = std::make_unique<CShowStatusDlg>();
        dlg->SetMainActions({[this] { actions += "pause "; }, [this] { actions += "resume "; },
                             [this] { actions += dlg->isVisible() ? "stop(shown) " : "stop "; }});
    }

    std::string Label() const {
        auto* label = dlg->findChild<QLabel*>();
        return label ? label->text().toStdString() : "";
    }

    // The pixels of a button inside its shape (the rest shows what lies behind it).
    static QImage Drawn(QWidget* w) {
        QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRegion shape = w->mask();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!shape.isEmpty() && !shape.contains(QPoint(x, y))) image.setPixel(x, y, 0);
        return image;
    }
    // A button drawn from the named strip.
    QImage DrawnFrom(const char* strip) const {
        skin::CBmpButton reference;
        reference.SetStrip(skin::LoadImageFile(platform::GetProgramFolder() + "skins/" + strip));
        reference.resize(dlg->PauseButton()->size());
        return Drawn(&reference);
    }

    std::string TipOfPause() const {
        QWidget* button = dlg->PauseButton();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        const std::string text = QToolTip::text().toStdString();
        QToolTip::hideText();
        return text;
    }

    std::unique_ptr<CShowStatusDlg> dlg;
    std::string actions;
};

TEST(ElapsedText, HoursMinutesSecondsWrappingAtADay) {
    struct Case {
        std::uint64_t seconds;
        const char* text;
    } cases[] = {{0, "00:00:00"},      {59, "00:00:59"},     {60, "00:01:00"},
                 {3599, "00:59:59"},   {3600, "01:00:00"},   {86399, "23:59:59"},
                 {86400, "00:00:00"},  {90061, "01:01:01"},  {4294967296ull, "06:28:16"}};
    for (const Case& c : cases) EXPECT_EQ(recording::FormatElapsed(c.seconds), c.text) << c.seconds;
}

TEST_F(StatusWindowTest, EveryTickAddsASecondToTheCountAndTheDisplay) {
    EXPECT_EQ(Label(), "00:00:00");
    for (int i = 0; i < 61; ++i) dlg->OnTimer(1);
    EXPECT_EQ(dlg->ElapsedSeconds, 61u);
    EXPECT_EQ(Label(), "00:01:01");
    dlg->ElapsedSeconds = 86399;
    dlg->OnTimer(7);  // any timer id counts
    EXPECT_EQ(dlg->ElapsedSeconds, 86400u);  // the count goes on past a day
    EXPECT_EQ(Label(), "00:00:00");
    dlg->ResetElapsed();
    EXPECT_EQ(dlg->ElapsedSeconds, 0u);
    EXPECT_EQ(Label(), "00:00:00");
    EXPECT_EQ(dlg->TimeText(), "00:00:00");
}

TEST_F(StatusWindowTest, TheTextAfterSoManyTicksFromAFreshStart) {
    struct Case {
        int ticks;
        const char* text;
    } cases[] = {{59, "00:00:59"}, {60, "00:01:00"}, {3600, "01:00:00"}, {86400, "00:00:00"}};
    for (const Case& c : cases) {
        dlg->ResetElapsed();
        for (int i = 0; i < c.ticks; ++i) dlg->OnTimer(1);
        EXPECT_EQ(Label(), c.text) << c.ticks;
        EXPECT_EQ(dlg->ElapsedSeconds, static_cast<std::uint64_t>(c.ticks));
    }
}

TEST_F(StatusWindowTest, TimersStartAndStopById) {
    EXPECT_FALSE(dlg->TimerRunning(1));
    dlg->SetTimer(1, 1000);
    EXPECT_TRUE(dlg->TimerRunning(1));
    dlg->KillTimer(2);
    EXPECT_TRUE(dlg->TimerRunning(1));
    dlg->KillTimer(1);
    EXPECT_FALSE(dlg->TimerRunning(1));
}

TEST_F(StatusWindowTest, PauseButtonTogglesPauseAndResumeWithItsStripAndTip) {
    const QImage pauseLook = DrawnFrom("showstatus_pause.bmp");
    const QImage resumeLook = DrawnFrom("showstatus_start.bmp");
    ASSERT_NE(pauseLook, resumeLook);
    // Right after creation the tip is the StartTip text.
    EXPECT_EQ(dlg->StatusPaused, 0);
    EXPECT_EQ(Drawn(dlg->PauseButton()), pauseLook);
    EXPECT_EQ(TipOfPause(), GetText("StatusInfo", "StartTip"));

    struct Step {
        const char* actions;
        int paused;
        const QImage* look;
        const char* tip;
    } steps[] = {{"pause ", 1, &resumeLook, "StartTip"},
                 {"pause resume ", 0, &pauseLook, "PauseTip"},
                 {"pause resume pause ", 1, &resumeLook, "StartTip"}};
    for (const Step& s : steps) {
        dlg->OnPauseButton();
        EXPECT_EQ(actions, s.actions);
        EXPECT_EQ(dlg->StatusPaused, s.paused);
        EXPECT_EQ(Drawn(dlg->PauseButton()), *s.look) << s.actions;
        EXPECT_EQ(TipOfPause(), GetText("StatusInfo", s.tip)) << s.actions;
    }
}

TEST_F(StatusWindowTest, MainWindowsOwnPauseChangesFlagAndStripButNotTheTip) {
    dlg->OnPauseButton();  // tip now StartTip
    dlg->OnPauseButton();  // tip now PauseTip
    dlg->SetPausedLook(true, platform::GetProgramFolder() + "skins/showstatus_start.bmp");
    EXPECT_EQ(dlg->StatusPaused, 1);
    EXPECT_EQ(Drawn(dlg->PauseButton()), DrawnFrom("showstatus_start.bmp"));
    EXPECT_EQ(TipOfPause(), GetText("StatusInfo", "PauseTip"));
    EXPECT_EQ(actions, "pause resume ");  // the main window is not called back
}

TEST_F(StatusWindowTest, StopButtonHidesTheWindowBeforeTheMainWindowStops) {
    dlg->show();
    dlg->OnStopButton();
    EXPECT_EQ(actions, "stop ");
    EXPECT_FALSE(dlg->isVisible());
}

}  // namespace
