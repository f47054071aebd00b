// A recording interrupted by a full temporary folder: the user is told why and where the
// recording is kept, the files stay, and once there is room again the recorder records.
#include "companions/phrasebook/phrasebook.h"
#include "e2e/app/box_text.h"
#include "e2e/faults/recorder_process.h"

#include <filesystem>
#include <thread>

namespace faults {
namespace {

constexpr const char* kBox = "^Rivive Zuzuve$";

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
        testsupport::Run("mount", {"-t", "tmpfs", "-o", "size=3m", "tmpfs", folder_}, &code);
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

std::vector<std::string> Avis(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".avi") found.push_back(entry.path());
    return found;
}

TEST_F(SmallTemporaryFolder, AFullDiskIsNamedTheRecordingSavedOnTheSpotAndTheNextOneWorks) {
    testsupport::TempDir out;
    WriteConfig("[Area Settings]\nRecordMode=1\n[Audio Settings]\nRecordAudio=0\n"
                "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + out.Path() + "\n");
    ASSERT_NO_FATAL_FAILURE(Start(folder_));
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record")) << Log();
    ASSERT_TRUE(WaitForLog("Recording interrupted: InterruptedDiskFull", 120)) << Log();
    const std::string video = PrivateTemp() + "temp.avi";
    EXPECT_NE(Log().find("kept " + video), std::string::npos) << Log();
    EXPECT_GT(MediaSeconds(video), 0.5) << "what was recorded is readable";

    // The box says why and where the recording is, and offers to finish it now; Save (the
    // default) saves it as a finished recording would be.
    const std::string offer = e2eapp::AnswerBox(kBox, GetText("MsgBox", "InterruptedDiskFull"), "Return");
    for (const std::string& part : {std::string(GetText("MsgBox", "InterruptedDiskFull")), video,
                                    std::string(GetText("MsgBox", "LeftRecordingLength")), std::string("Save"),
                                    std::string("Delete"), std::string("Later")})
        EXPECT_NE(offer.find(part), std::string::npos) << part << " missing from:\n" << offer;
    const std::string saved = e2eapp::AnswerBox(kBox, GetText("MsgBox", "SaveSuccess"), "Return");
    EXPECT_NE(saved.find(GetText("MsgBox", "AutoSaveFile")), std::string::npos) << saved << Log();
    std::vector<std::string> avis = Avis(out.Path());
    ASSERT_EQ(avis.size(), 1u) << Log();
    EXPECT_GT(StreamSeconds(avis[0], "v:0"), 0.5) << avis[0];
    // Given the index and length the full disk kept from it.
    EXPECT_NEAR(HeaderSeconds(avis[0]), StreamSeconds(avis[0], "v:0"), 0.5) << avis[0];
    EXPECT_FALSE(std::filesystem::exists(video)) << "the saved recording is still offered";

    // Room again: the next recording runs and is saved next to the first.
    int code = -1;
    testsupport::Run("mount", {"-o", "remount,size=256m", folder_}, &code);
    ASSERT_EQ(code, 0);
    Key("F8");
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Count(Log(), "Start Record") == 2; },
                                       std::chrono::seconds(20)))
        << "Start did nothing after the interruption:\n" << Log();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Key("F10");
    e2eapp::AnswerBox(kBox, GetText("MsgBox", "SaveSuccess"), "Return");
    avis = Avis(out.Path());
    ASSERT_EQ(avis.size(), 2u) << Log();
    for (const std::string& avi : avis) EXPECT_GT(StreamSeconds(avi, "v:0"), 0.5) << avi;
}

}  // namespace
}  // namespace faults
