// A recording being finished while the user goes on: Start while its Save As dialog is open,
// Start right after Stop, Stop twice, and a quit right after Stop. Nothing hangs (each wait has a
// deadline), and every recording ends as its own file, never another recording's.
#include "../../unit/media/media_test_util.h"
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "finishing/record_finish.h"
#include "recording/finished_recording.h"
#include "recording/recording_control.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr auto kDeadline = std::chrono::seconds(60);

double VideoSeconds(const std::string& path) {
    const std::string text = mediatest::Probe(path, "duration", "v:0");
    return text.empty() || text == "N/A" ? -1 : std::stod(text);
}

class FinishWhileRecordingTest : public MainWindowTest {
protected:
    // A small region with sound, saved as AVI through the Save As dialog, whose answers are
    // out1.avi, out2.avi, ... in a folder of the test's own.
    CRiviveZuzuveDlg& Open() {
        WriteConfig(SmallRegionConfig(100, 1, 0));
        CRiviveZuzuveDlg& dlg = Make();
        Show();
        finishing::FinishServices services;
        services.chooseSavePath = [this](const finishing::SaveAsRequest&, std::string* path) {
            const int n = ++dialogs_;
            if (whileDialogOpen_) {
                auto inside = std::move(whileDialogOpen_);
                inside();
            }
            *path = dir_.File("out" + std::to_string(n) + ".avi");
            return true;
        };
        services.shellOpen = [](const std::string&) { return true; };
        InstallFinishing(dlg, services);
        return dlg;
    }
    // Start, given again while the previous recording's files are still being closed.
    bool Start(CRiviveZuzuveDlg& dlg) {
        return testsupport::WaitUntil(
            [&] {
                if (!dlg.Flags().IsRecording) dlg.RunCommand(IDC_START);
                return dlg.Flags().IsRecording == 1;
            },
            kDeadline);
    }
    bool Saved(int count) {
        return testsupport::WaitUntil(
            [&] {
                return boxes_.Boxes().size() >= static_cast<std::size_t>(count) &&
                       finishing::FinishesInProgress() == 0 && recording::PendingFinishes() == 0;
            },
            kDeadline);
    }

    static bool WaitUntilNothingPending() {
        return testsupport::WaitUntil([] { return recording::PendingFinishes() == 0; });
    }
    std::string Texts() const {
        std::string all;
        for (const auto& box : boxes_.Boxes()) all += "[" + box.text + "] ";
        return all;
    }

    testsupport::TempDir dir_;
    testsupport::MessageBoxRecorder boxes_{platform::IDOK};
    int dialogs_ = 0;
    std::function<void()> whileDialogOpen_;
};

TEST_F(FinishWhileRecordingTest, StartWhileSaveAsIsOpenKeepsBothRecordingsApart) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    CRiviveZuzuveDlg& dlg = Open();
    bool secondDone = false;
    // The second recording is made and finished while the first one's dialog is open.
    whileDialogOpen_ = [&] {
        ASSERT_TRUE(Start(dlg));
        QTest::qWait(3500);
        dlg.RunCommand(IDC_STOP);
        secondDone = testsupport::WaitUntil([&] { return fs::exists(dir_.File("out2.avi")) && boxes_.Boxes().size() == 1; },
                                            kDeadline);
    };
    ASSERT_TRUE(Start(dlg));
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(Saved(2)) << "boxes: " << boxes_.Boxes().size();
    EXPECT_TRUE(secondDone);

    const std::string first = dir_.File("out1.avi"), second = dir_.File("out2.avi");
    for (const std::string& out : {first, second}) {
        EXPECT_EQ(mediatest::Probe(out, "codec_name", "v:0"), "msvideo1") << out;
        EXPECT_FALSE(mediatest::Probe(out, "codec_name", "a:0").empty()) << out;
    }
    const double one = VideoSeconds(first), two = VideoSeconds(second);
    EXPECT_GT(one, 0.5);
    EXPECT_LT(one, 2.5) << "the first file holds the short first recording";
    EXPECT_GT(two, 2.5) << "the second file holds the long second recording";
    EXPECT_FALSE(fs::exists(recording::TempAviPath()));
}

TEST_F(FinishWhileRecordingTest, StartRightAfterStopAndStopTwiceSaveEachRecordingOnce) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    CRiviveZuzuveDlg& dlg = Open();
    ASSERT_TRUE(Start(dlg));
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(Start(dlg)) << "Start right after Stop";
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(Saved(2));
    QTest::qWait(300);
    EXPECT_EQ(dialogs_, 2) << "one Save As per recording";
    EXPECT_EQ(boxes_.Boxes().size(), 2u) << Texts();
    for (const char* name : {"out1.avi", "out2.avi"}) {
        const std::string out = dir_.File(name);
        EXPECT_GT(VideoSeconds(out), 0.5) << out;
        EXPECT_FALSE(mediatest::Probe(out, "codec_name", "a:0").empty()) << out;
    }
}

TEST_F(FinishWhileRecordingTest, QuitRightAfterStopAsksAndKeepsTheRecording) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    CRiviveZuzuveDlg& dlg = Open();
    ASSERT_TRUE(Start(dlg));
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);
    dlg.OnTrayExit();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }, kDeadline));
    ASSERT_EQ(boxes_.Boxes().size(), 1u) << Texts();
    EXPECT_EQ(boxes_.Boxes()[0].text, GetText("MsgBox", "OnFinishing"));
    EXPECT_EQ(dialogs_, 0) << "nothing saved on the way out";
    EXPECT_TRUE(WaitUntilNothingPending()) << "a later quit is not held by it";
    const std::string tempAvi = recording::TempAviPath();
    EXPECT_GT(VideoSeconds(tempAvi), 0.5) << "the recording stays for the next start";
    fs::remove(tempAvi);
}

TEST_F(FinishWhileRecordingTest, QuitWhileSaveAsIsOpenClosesItAndKeepsTheRecording) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    CRiviveZuzuveDlg& dlg = Open();
    finishing::FinishServices services;
    bool closed = false;
    services.chooseSavePath = [&](const finishing::SaveAsRequest&, std::string*) {
        dlg.OnTrayExit();
        closed = true;  // the stand-in closes at once, as the real dialog is rejected
        return false;
    };
    services.closeSaveAs = [] {};
    InstallFinishing(dlg, services);
    ASSERT_TRUE(Start(dlg));
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }, kDeadline));
    EXPECT_TRUE(closed);
    ASSERT_EQ(boxes_.Boxes().size(), 1u) << Texts();
    EXPECT_EQ(boxes_.Boxes()[0].text, GetText("MsgBox", "OnFinishing"));
    const std::string tempAvi = recording::TempAviPath();
    EXPECT_GT(VideoSeconds(tempAvi), 0.5) << "kept, not deleted as a cancelled save";
    fs::remove(tempAvi);
}

}  // namespace
