// Hand-edited values a recording cannot work with are brought into range at Start, and the
// recording made with them is whole.
#include "e2e/faults/recorder_process.h"

#include <filesystem>
#include <thread>

namespace faults {
namespace {

using HandEditedConfig = RecorderProcess;

TEST_F(HandEditedConfig, AnAreaBeyondTheScreenAndAHugeFrameRateStillRecord) {
    testsupport::TempDir out;
    WriteConfig("[Area Settings]\nRecordMode=0\nRecordLeft=100\nRecordTop=100\nRecordRight=653\n"
                "RecordBottom=99999\n[Video Settings]\nFrameRate=100000\n"
                "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + out.Path() + "\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record")) << Log();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Key("F10");
    std::string saved;
    ASSERT_TRUE(testsupport::WaitUntil([&] {
        for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
            if (entry.path().extension() == ".avi") saved = entry.path();
        return !saved.empty() && testsupport::FindWindows("^Rivive Zuzuve$").size() == 1;
    }, std::chrono::seconds(60))) << Log();

    const std::string log = Log();
    EXPECT_NE(log.find("FrameRate 100000 cannot be recorded: 100 is used"), std::string::npos) << log;
    EXPECT_NE(log.find("Area 100,100 653x99999 lies beyond the 1920x1080 screen: 100,100 653x980"),
              std::string::npos) << log;
    EXPECT_EQ(log.find("OnRecordInterrupted!"), std::string::npos) << log;
    int code = -1;
    const std::string stream = testsupport::Run(
        "ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                    "stream=width,height,r_frame_rate", "-of", "csv=p=0", saved}, &code);
    EXPECT_EQ(code, 0);
    // The frame size of Microsoft Video 1 is padded to multiples of 4.
    EXPECT_EQ(stream.substr(0, stream.find_last_not_of("\n") + 1), "656,980,100/1") << saved;
    EXPECT_GE(MediaSeconds(saved), 2.0) << saved;
}

}  // namespace
}  // namespace faults
