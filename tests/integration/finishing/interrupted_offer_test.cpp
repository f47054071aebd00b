// A recording interrupted on the main window (its thread ends with an interruption instead of a
// finish): the user is offered to save it at once, delete it or keep it for the next start; a
// quit that was waiting for the thread goes ahead instead.
#include "../../unit/media/media_test_util.h"
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "finishing/record_finish.h"
#include "recording/finished_recording.h"
#include "recording/recording_control.h"
#include "recording/recording_messages.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr auto kDeadline = std::chrono::seconds(60);

class InterruptedOfferTest : public MainWindowTest {
protected:
    // A small region without sound, saved as AVI to out.avi through the Save As stand-in.
    CRiviveZuzuveDlg& Open() {
        WriteConfig(SmallRegionConfig(100, 0, 0));
        CRiviveZuzuveDlg& dlg = Make();
        Show();
        InstallFinishing(dlg, Services());
        return dlg;
    }
    finishing::FinishServices Services() {
        finishing::FinishServices services;
        services.chooseSavePath = [this](const finishing::SaveAsRequest&, std::string* path) {
            ++dialogs_;
            *path = dir_.File("out.avi");
            return true;
        };
        services.shellOpen = [](const std::string&) { return true; };
        return services;
    }
    // Records a second and stops; the thread's finish message is dropped, so its files are left
    // as an interrupted recording leaves them. Their path.
    std::string RecordLeavingFiles(CRiviveZuzuveDlg& dlg) {
        dlg.Messages().On(recording::WM_USER_RECORDFINISH, [this](platform::WPARAM ticket, platform::LPARAM) {
            recording::TakeFinished(static_cast<std::uintptr_t>(ticket));
            ++dropped_;
            return 0;
        });
        dlg.RunCommand(IDC_START);
        EXPECT_TRUE(dlg.Flags().IsRecording == 1);
        QTest::qWait(1200);
        dlg.RunCommand(IDC_STOP);
        EXPECT_TRUE(testsupport::WaitUntil([&] { return dropped_ == 1; }, kDeadline));
        InstallFinishing(dlg, Services());
        return recording::TempAviPath();
    }

    testsupport::TempDir dir_;
    testsupport::MessageBoxRecorder boxes_{platform::IDOK};
    int dialogs_ = 0;
    int dropped_ = 0;
};

TEST_F(InterruptedOfferTest, TheOfferSavesDeletesOrKeepsWhatWasRecorded) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    struct Case {
        int answer;
        bool saved, kept;
    } cases[] = {
        {platform::IDYES, true, false},    // Save
        {platform::IDNO, false, false},    // Delete
        {platform::IDCANCEL, false, true},  // Later
    };
    CRiviveZuzuveDlg& dlg = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        dialogs_ = dropped_ = 0;
        const std::size_t before = boxes_.Boxes().size();
        const std::string video = RecordLeavingFiles(dlg);
        ASSERT_TRUE(fs::exists(video));
        boxes_.SetAnswer(c.answer);
        platform::PostMessage(dlg.Handle(), recording::WM_USER_RECORDINTERRUPTED, recording::kInterruptDiskFull, 0);
        ASSERT_TRUE(testsupport::WaitUntil([&] {
            return boxes_.Boxes().size() > before && finishing::FinishesInProgress() == 0 &&
                   recording::PendingFinishes() == 0;
        }, kDeadline));
        QTest::qWait(200);

        const auto boxes = boxes_.Boxes();
        const std::string& offer = boxes[before].text;
        EXPECT_NE(offer.find(GetText("MsgBox", "InterruptedDiskFull")), std::string::npos) << offer;
        EXPECT_NE(offer.find(video), std::string::npos) << offer;
        EXPECT_EQ(boxes[before].buttonTexts.size(), 3u) << "Save, Delete, Later";
        EXPECT_EQ(dlg.Flags().IsRecording, 0);
        EXPECT_TRUE(dlg.Control(IDC_START)->isEnabled()) << "back at rest";

        EXPECT_EQ(dialogs_, c.saved ? 1 : 0);
        EXPECT_EQ(fs::exists(dir_.File("out.avi")), c.saved);
        if (c.saved) {
            EXPECT_GT(std::stod(mediatest::Probe(dir_.File("out.avi"), "duration", "v:0")), 0.5);
            fs::remove(dir_.File("out.avi"));
        }
        EXPECT_EQ(fs::exists(video), c.kept);
        fs::remove(video);
    }
}

TEST_F(InterruptedOfferTest, AQuitWaitingForTheThreadGoesAheadWhenItEndsInterrupted) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    CRiviveZuzuveDlg& dlg = Open();
    const std::string video = RecordLeavingFiles(dlg);
    // The quit was confirmed while the thread was still closing its files.
    FinisherOf(dlg)->RequestQuit();
    platform::PostMessage(dlg.Handle(), recording::WM_USER_RECORDINTERRUPTED, recording::kInterruptWrite, 0);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }, kDeadline)) << "Exit needed again";
    EXPECT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes()[0].text;
    EXPECT_EQ(dialogs_, 0);
    EXPECT_TRUE(fs::exists(video)) << "kept for the next start";
    fs::remove(video);
}

}  // namespace
