// The progress window: one per process, placed off the screen's centre, hidden at start, the bar
// moved from any thread, and Escape that only tells the user to wait.
#include "companions/phrasebook/phrasebook.h"
#include "finishing/progess_dlg.h"
#include "support/test_support.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace finishing;

TEST(ProgessDlg, OneHiddenWindowFromTemplate147PlacedOffTheCentre) {
    CProgessDlg* dlg = CProgessDlg::Create(1920, 1080);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(CProgessDlg::Create(1280, 1024), dlg) << "one window per process";
    EXPECT_EQ(dlg->pos(), QPoint(1280 / 2 - 200, 1024 / 2 - 100));
    EXPECT_EQ(dlg->size(), QSize(378, 54));  // 252 x 33 dialog units
    EXPECT_EQ(dlg->parentWidget(), nullptr);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Zudodo Raridevi");
    EXPECT_FALSE(dlg->windowFlags() & Qt::WindowCloseButtonHint);
    ASSERT_NE(dlg->Bar(), nullptr);
    EXPECT_EQ(dlg->Bar()->minimum(), 0);
    EXPECT_EQ(dlg->Bar()->maximum(), 100);
    EXPECT_EQ(ProgressWindow(), dlg->Handle());
    bool merging = false;
    for (QLabel* label : dlg->findChildren<QLabel*>()) merging |= label->text() == "Merging......";
    EXPECT_TRUE(merging);
}

TEST(ProgessDlg, BarMessagesSetRangeAndClampPositions) {
    CProgessDlg* dlg = CProgessDlg::Create(1920, 1080);
    QProgressBar* bar = dlg->Bar();
    struct Row {
        std::uint32_t message;
        platform::WPARAM w;
        platform::LPARAM l;
        int min, max, value;
    };
    const Row rows[] = {
        {PBM_SETRANGE, 0, kPercentRange, 0, 100, 0},
        {PBM_SETPOS, 50, 0, 0, 100, 50},
        {PBM_SETPOS, 250, 0, 0, 100, 100},  // beyond the range
        {PBM_SETRANGE, 0, MakeRange(0, 1), 0, 1, 1},
        {PBM_SETPOS, 1, 0, 0, 1, 1},
        {PBM_SETRANGE, 0, MakeRange(0, 0xFFFF), 0, 0xFFFF, 1},
        {PBM_SETPOS, 0xFFFF, 0, 0, 0xFFFF, 0xFFFF},
        {PBM_SETRANGE, 0, kPercentRange, 0, 100, 100},
        {PBM_SETPOS, 0, 0, 0, 100, 0},
    };
    platform::SendMessage(dlg->Handle(), PBM_SETPOS, 0, 0);
    for (const Row& r : rows) {
        platform::SendMessage(dlg->Handle(), r.message, r.w, r.l);
        EXPECT_EQ(bar->minimum(), r.min);
        EXPECT_EQ(bar->maximum(), r.max);
        EXPECT_EQ(bar->value(), r.value);
    }
}

TEST(ProgessDlg, WorkerThreadMovesTheBarAndShowsTheWindowWithoutWaiting) {
    CProgessDlg* dlg = CProgessDlg::Create(1920, 1080);
    SetProgressPos(0);
    std::thread worker([] {
        ShowProgress(true);
        SetProgressRange(0, 4);
        for (int i = 1; i <= 3; ++i) SetProgressPos(i);
    });
    worker.join();  // it never waited for the user-interface thread
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dlg->Bar()->value() == 3; }));
    EXPECT_EQ(dlg->Bar()->maximum(), 4);
    EXPECT_TRUE(dlg->isVisible());
    std::thread([] { ShowProgress(false); }).join();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !dlg->isVisible(); }));
    SetProgressRange(0, 100);
}

TEST(ProgessDlg, EscapeOnlyShowsTheMergingNote) {
    CProgessDlg* dlg = CProgessDlg::Create(1920, 1080);
    ShowProgress(true);
    ASSERT_TRUE(dlg->isVisible());
    testsupport::MessageBoxRecorder boxes;
    QTest::keyClick(dlg, Qt::Key_Escape);
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].owner, dlg->Handle());
    EXPECT_EQ(boxes.Boxes()[0].caption, "Rivive Zuzuve");
    EXPECT_EQ(boxes.Boxes()[0].type, platform::MB_OK);
    EXPECT_EQ(boxes.Boxes()[0].text, GetText("MsgBox", "OnMerging"));
    ShowProgress(false);
}

}  // namespace
