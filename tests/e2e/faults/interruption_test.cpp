// A recording interrupted by a full temporary folder: the user is told why and where the
// recording is kept, the files stay, and once there is room again the recorder records.
#include "e2e/faults/recorder_process.h"

#include <filesystem>
#include <thread>

namespace faults {
namespace {

int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

// A small tmpfs of its own; needs the right to mount.
class SmallTemporaryFolder : public RecorderProcess {
protected:
    void SetUp() override {
        RecorderProcess::SetUp();
        if (IsSkipped()) return;
        folder_ = tmp_.File("small");
        std::filesystem::create_directory(folder_);
        int code = -1;
        testsupport::Run("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", folder_}, &code);
        if (code != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
        mounted_ = true;
    }
    void TearDown() override {
        RecorderProcess::TearDown();
        if (mounted_) testsupport::Run("umount", {"-l", folder_});
    }

    std::string folder_;
    bool mounted_ = false;
};

TEST_F(SmallTemporaryFolder, AFullDiskIsNamedTheRecordingKeptAndTheNextOneWorks) {
    testsupport::TempDir out;
    WriteConfig("[Area Settings]\nRecordMode=1\n[Audio Settings]\nRecordAudio=0\n"
                "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + out.Path() + "\n");
    ASSERT_NO_FATAL_FAILURE(Start(folder_));
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record")) << Log();
    ASSERT_TRUE(WaitForLog("Recording interrupted: InterruptedDiskFull", 120)) << Log();
    const std::string video = PrivateTemp() + "temp.avi";
    EXPECT_NE(Log().find("kept " + video), std::string::npos) << Log();

    // The box says it (its caption is the application's name), and the recorder is back at rest.
    auto box = testsupport::WaitForWindows("^Rivive Zuzuve$");
    ASSERT_EQ(box.size(), 1u) << "no message box";
    EXPECT_GT(MediaSeconds(video), 0.5) << "what was recorded is readable";
    testsupport::Run("xdotool", {"windowactivate", "--sync", box[0]});
    testsupport::Run("xdotool", {"key", "--clearmodifiers", "Return"});
    ASSERT_TRUE(testsupport::WaitUntil([] { return testsupport::FindWindows("^Rivive Zuzuve$").empty(); }));

    // Room again: the next recording runs and is saved; the kept one is left alone.
    int code = -1;
    testsupport::Run("mount", {"-o", "remount,size=256m", folder_}, &code);
    ASSERT_EQ(code, 0);
    const auto keptSize = std::filesystem::file_size(video);
    Key("F8");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Count(Log(), "Start Record") == 2; },
                                       std::chrono::seconds(20)))
        << "Start did nothing after the interruption:\n" << Log();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Key("F10");
    std::string saved;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
            if (entry.path().extension() == ".avi") saved = entry.path();
        return !saved.empty() && testsupport::FindWindows("^Rivive Zuzuve$").size() == 1;
    }, std::chrono::seconds(60))) << Log();
    EXPECT_GE(MediaSeconds(saved), 2.0) << saved;
    EXPECT_EQ(std::filesystem::file_size(video), keptSize) << "the kept recording was touched";
}

}  // namespace
}  // namespace faults
