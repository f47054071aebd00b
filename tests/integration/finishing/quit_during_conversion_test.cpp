// Quitting while a recording is being converted: Close asks ("MsgBox", "OnMerging"); OK stops
// the converter at its next output, the partial output goes, the recording stays for the next
// start, and the recorder ends without saving its settings.
#include "support/main_window_fixture.h"
#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "audio/wave_in_capture.h"
#include "platform/core/process.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace app;

// The probe answers at once; the conversion writes a partial output and reports progress five
// times a second until it is stopped.
class EndlessConverter : public platform::ProcessLauncher {
public:
    std::unique_ptr<platform::ChildProcess> Start(const std::vector<std::string>& argv,
                                                  const platform::StartOptions& options, std::string* error) override {
        if (argv.size() == 3)
            return platform::SystemProcessLauncher().Start({"sh", "-c", "echo 'bitrate: 100 kb/s'"}, options, error);
        return platform::SystemProcessLauncher().Start(
            {"sh", "-c", "echo partial > \"$0\"; while :; do echo 'time=1.00 bitrate=1.0kbits/s'; sleep 0.2; done",
             argv.back()},
            options, error);
    }
};

TEST_F(MainWindowTest, QuitDuringAConversionEndsTheRecorderWithoutSavingItsSettings) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "records a real screen";
    testsupport::TempDir dir;
    const std::string folder = dir.File("Recordings");
    const std::string config = SmallRegionConfig(102, 1, 1);
    WriteConfig(config);
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    EndlessConverter converter;
    finishing::FinishServices services;
    services.launcher = &converter;
    InstallFinishing(dlg, services);
    dlg.Settings().AutoSaveDir = folder;

    testsupport::MessageBoxRecorder boxes(platform::IDOK);
    dlg.RunCommand(IDC_START);
    ASSERT_EQ(dlg.Flags().IsRecording, 1);
    QTest::qWait(1500);
    dlg.RunCommand(IDC_STOP);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return fs::exists(folder) && !fs::is_empty(folder); },
                                       std::chrono::seconds(30)))
        << "the conversion began";
    ASSERT_EQ(dlg.Flags().Converting, 1);
    const std::string tempAvi = recording::TempAviPath(), tempWav = dlg.WaveInCapture()->TempWavPath();
    ASSERT_TRUE(fs::exists(tempAvi));

    dlg.OnCloseButton();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !dlg.isVisible(); }, std::chrono::seconds(10)));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, GetText("MsgBox", "OnMerging"));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.Flags().Converting, 0);
    EXPECT_EQ(dlg.Flags().CancelConvert, 0);
    EXPECT_TRUE(fs::is_empty(folder)) << "the partial output is gone";
    EXPECT_TRUE(fs::exists(tempAvi)) << "the recording is kept for the next start";
    EXPECT_TRUE(fs::exists(tempWav));
    EXPECT_EQ(testsupport::ReadFile(config_), config) << "the settings were not saved";
    fs::remove(tempAvi);
    fs::remove(tempWav);
}

}  // namespace
