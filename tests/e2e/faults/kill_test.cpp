// The recorder killed outright in the middle of a recording with sound: the temporary video and
// sound files it leaves are readable, all but their last second.
#include "e2e/faults/recorder_process.h"

#include <csignal>
#include <thread>

namespace faults {
namespace {

using KilledRecorder = RecorderProcess;

TEST_F(KilledRecorder, LeavesVideoAndSoundThatReadToNearlyTheEnd) {
    WriteConfig("[Audio Settings]\nRecordAudio=1\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record,Record Audio 1")) << Log();
    // Five seconds of recording, then the process ends without any chance to close its files.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    ::kill(static_cast<pid_t>(recorder_.processId()), SIGKILL);
    ASSERT_TRUE(recorder_.waitForFinished(10000));

    const std::string avi = PrivateTemp() + "temp.avi";
    const std::string wav = PrivateTemp() + "temp.wav";
    EXPECT_GE(MediaSeconds(avi), 4.0) << avi;
    // A WAVE reader trusts the lengths in the header: they must be current.
    EXPECT_GE(HeaderSeconds(wav), 4.0) << wav;
    EXPECT_GE(MediaSeconds(wav), 4.0) << wav;
    int code = -1;
    testsupport::Run("sox", {wav, "-n", "stat"}, &code);
    EXPECT_EQ(code, 0) << "sox cannot read " << wav;
}

}  // namespace
}  // namespace faults
