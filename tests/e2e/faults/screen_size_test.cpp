// The screen shrinks while the whole screen is being recorded: the recording goes on at the
// frame size it started with and is saved whole.
#include "e2e/faults/recorder_process.h"

#include <filesystem>
#include <thread>

namespace faults {
namespace {

class ShrinkingScreen : public RecorderProcess {
protected:
    void TearDown() override {
        RecorderProcess::TearDown();
        if (shrunk_) testsupport::ResizeScreen(1920, 1080);
    }
    bool shrunk_ = false;
};

TEST_F(ShrinkingScreen, TheRecordingKeepsItsFrameSize) {
    testsupport::TempDir out;
    WriteConfig("[Area Settings]\nRecordMode=1\n[Output Settings]\nAutoSave=1\nAutoSaveDir=" +
                out.Path() + "\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record")) << Log();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    shrunk_ = testsupport::ResizeScreen(1280, 720);
    if (!shrunk_) GTEST_SKIP() << "this X server cannot change its size";
    ASSERT_TRUE(WaitForLog("the screen is now 1280x720")) << Log();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    Key("F10");
    std::string saved;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
            if (entry.path().extension() == ".avi") saved = entry.path();
        return !saved.empty() && testsupport::FindWindows("^Rivive Zuzuve$").size() == 1;
    }, std::chrono::seconds(60))) << Log();

    EXPECT_EQ(Log().find("OnRecordInterrupted!"), std::string::npos) << Log();
    EXPECT_EQ(recorder_.state(), QProcess::Running) << "the recorder ended";
    const std::string size = testsupport::Run(
        "ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                    "stream=width,height", "-of", "csv=p=0", saved});
    EXPECT_EQ(size.substr(0, size.find('\n')), "1920,1080") << saved;
    EXPECT_GE(MediaSeconds(saved), 3.5) << saved;
}

}  // namespace
}  // namespace faults
