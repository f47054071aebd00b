// Starts the real recorder from a copy of its program folder and drives it as a user would.
#include "platform/core/profile.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <regex>

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WaitForWindows;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kRefusalBox = "^Rivive Zuzuve$";

int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1)) ++n;
    return n;
}

std::string Ini(const std::string& path, const char* section, const char* key) {
    char buffer[512];
    platform::GetPrivateProfileString(section, key, "<missing>", buffer, sizeof buffer, path);
    return buffer;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        testsupport::CopyProgramFolder(dir_.Path());
    }
    void TearDown() override {
        for (QProcess* p : {&first_, &second_})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
    }
    void Start(QProcess& process) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
        ASSERT_TRUE(process.waitForStarted());
    }
    std::string Log() { return ReadFile(dir_.File("Diary/RiviveZuzuve.log")); }

    TempDir dir_;
    QProcess first_, second_;
};

TEST_F(Startup, ASecondCopyIsRefusedAndANormalCloseSavesEverySettingAndLogsOnce) {
    Start(first_);
    auto main = WaitForWindows(kMainWindow);
    ASSERT_EQ(main.size(), 1u) << "the main window did not come up";
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Count(Log(), "Start Rivive Zuzuve.exe") == 1; }));

    Start(second_);
    auto box = WaitForWindows(kRefusalBox);
    ASSERT_EQ(box.size(), 1u) << "no refusal box";
    EXPECT_EQ(testsupport::FindWindows(kMainWindow).size(), 1u);
    testsupport::Run("xdotool", {"windowactivate", "--sync", box[0]});
    testsupport::Run("xdotool", {"key", "--clearmodifiers", "Return"});
    ASSERT_TRUE(second_.waitForFinished(10000));
    EXPECT_EQ(second_.exitCode(), 0);
    EXPECT_EQ(Count(Log(), "Start Rivive Zuzuve.exe"), 1) << "the refused copy wrote to the log";

    // Closing the window (Alt+F4 through the window manager) runs the exit routine.
    testsupport::Run("xdotool", {"windowactivate", "--sync", main[0]});
    testsupport::Run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    ASSERT_TRUE(first_.waitForFinished(10000)) << "the recorder did not quit";
    EXPECT_EQ(first_.exitCode(), 0);

    std::string log = Log();
    std::regex start("--------------------- Start Rivive Zuzuve\\.exe 1\\.1\\.0\\.0 --------------------");
    EXPECT_TRUE(std::regex_search(log, start)) << log;
    EXPECT_EQ(Count(log, "----------------------- Quit Rivive Zuzuve.exe ---------------------------"), 1);

    std::string ini = dir_.File("Config.ini");
    std::string text = ReadFile(ini);
    for (const char* section : {"[Area Settings]", "[Output Settings]", "[Video Settings]",
                                "[Audio Settings]"})
        EXPECT_NE(text.find(section), std::string::npos) << section;
    EXPECT_EQ(text.find("[Global Options]"), std::string::npos);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } defaults[] = {
        {"Area Settings", "RecordMode", "0"},      {"Area Settings", "RecordLeft", "633"},
        {"Area Settings", "RecordTop", "315"},     {"Area Settings", "RecordRight", "653"},
        {"Area Settings", "RecordBottom", "450"},  {"Area Settings", "FlashingRect", "1"},
        {"Output Settings", "AutoSave", "0"},      {"Video Settings", "VideoQuanlity", "65"},
        {"Video Settings", "HighLightSize", "64"}, {"Video Settings", "RecordMouse", "1"},
        {"Video Settings", "FrameRate", "20"},     {"Video Settings", "HighLightMouse", "1"},
        {"Video Settings", "HighLightMouseCOLOR", "8454143"}, {"Video Settings", "ClickHighMouse", "0"},
        {"Video Settings", "ClickHighMouseLeftCOLOR", "255"},
        {"Video Settings", "ClickHighMouseRightCOLOR", "16711680"}, {"Video Settings", "VideoType", "100"},
        {"Audio Settings", "RecordAudio", "0"},    {"Audio Settings", "WaveInSelected", "64"},
        {"Audio Settings", "Audio_bits_per_sample", "16"},
        {"Audio Settings", "Audio_num_channels", "1"},
        {"Audio Settings", "Audio_samples_per_seconds", "22050"},
    };
    for (const auto& d : defaults) EXPECT_EQ(Ini(ini, d.section, d.key), d.value) << d.key;
    EXPECT_NE(Ini(ini, "Output Settings", "AutoSaveDir").find("Velmora Zudodo Raridevi"),
              std::string::npos);
}

}  // namespace
