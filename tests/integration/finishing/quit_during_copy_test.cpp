// Quitting while a recording without sound is being copied to its output: Exit asks
// ("MsgBox", "OnFinishing"); OK stops the copy, nothing is left in the output folder, the
// recording stays for the next start, and the recorder ends by itself without saving its
// settings.
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "finishing/finish_texts.h"
#include "finishing/record_finish.h"
#include "platform/core/data_folders.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr auto kDeadline = std::chrono::seconds(60);
// Far more than the copy gets through before the quit lands; a hole, so it costs no disk.
constexpr std::uintmax_t kLargeRecording = std::uintmax_t{2} << 30;

std::string LogText() { return testsupport::ReadFile(platform::LogFolder() + "RiviveZuzuve.log"); }

TEST_F(MainWindowTest, ExitDuringACopyKeepsTheRecordingAndLeavesNoOutput) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    testsupport::TempDir dir;
    const std::string folder = dir.File("out");
    fs::create_directories(folder);
    const std::string config = SmallRegionConfig(100, 0, 0);
    WriteConfig(config);
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    std::string tempAvi;
    finishing::FinishServices services;
    // Save As: the recording made large, and Exit pressed as soon as the copy has started.
    services.chooseSavePath = [&](const finishing::SaveAsRequest&, std::string* path) {
        tempAvi = recording::TempAviPath();
        fs::resize_file(tempAvi, kLargeRecording);
        QMetaObject::invokeMethod(&dlg, [&dlg] { dlg.OnTrayExit(); }, Qt::QueuedConnection);
        *path = folder + "/clip.avi";
        return true;
    };
    InstallFinishing(dlg, services);
    const std::size_t logStart = LogText().size();

    testsupport::MessageBoxRecorder boxes(platform::IDOK);
    dlg.RunCommand(IDC_START);
    ASSERT_EQ(dlg.Flags().IsRecording, 1);
    QTest::qWait(1200);
    dlg.RunCommand(IDC_STOP);

    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }, kDeadline)) << "the recorder ended";
    ASSERT_TRUE(testsupport::WaitUntil([] { return finishing::FinishesInProgress() == 0; }, kDeadline));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, GetText("MsgBox", "OnFinishing"));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(fs::is_empty(folder)) << "no output and no unfinished copy";
    ASSERT_FALSE(tempAvi.empty());
    EXPECT_EQ(fs::file_size(tempAvi), kLargeRecording) << "the recording stays for the next start";
    EXPECT_NE(LogText().find(finishing::kQuitKeptLine + tempAvi, logStart), std::string::npos);
    EXPECT_EQ(testsupport::ReadFile(config_), config) << "ended by the copy worker, not the exit routine";
    fs::remove(tempAvi);
}

}  // namespace
