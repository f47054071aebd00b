// The recorder installed with DESTDIR into a temporary root and started through its launcher,
// with the program folder read-only: settings and log go to the XDG folders it is given.
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WaitForWindows;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kSavedBox = "^Rivive Zuzuve$";
constexpr const char* kStartLine = "Start Rivive Zuzuve.exe";
constexpr const char* kQuitLine = "Quit Rivive Zuzuve.exe";

std::string Ini(const std::string& path, const char* section, const char* key) {
    char buffer[512];
    platform::GetPrivateProfileString(section, key, "<missing>", buffer, sizeof buffer, path);
    return buffer;
}

class InstalledCopy : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        // Root writes through permission bits: its copy runs in a mount namespace of its own
        // where the program folder is a read-only bind.
        if (geteuid() == 0 && !RunsQuietly("unshare", {"--mount", "true"}))
            GTEST_SKIP() << "root cannot make a read-only folder here (no mount namespace)";
        // A space in the root catches an unquoted path in the launcher.
        root_ = top_.Path() + "install root";
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", QString::fromStdString(root_));
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start("cmake", {"--install", RZ_BIN_DIR "/..", "--prefix", "/usr"});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
        program_ = root_ + "/usr/lib/rivive-zuzuve/";
        launcher_ = root_ + "/usr/bin/rivive-zuzuve";
        ASSERT_TRUE(platform::FileExists(launcher_));
        ASSERT_TRUE(RunsQuietly("chmod", {"-R", "a-w", program_}));
        for (const char* folder : {"home", "out folder"}) fs::create_directories(top_.File(folder));
    }
    void TearDown() override {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.kill();
            recorder_.waitForFinished();
        }
        if (!program_.empty()) RunsQuietly("chmod", {"-R", "u+w", program_});
    }
    static bool RunsQuietly(const std::string& program, const std::vector<std::string>& args) {
        int code = -1;
        testsupport::Run(program, args, &code);
        return code == 0;
    }

    void Start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(top_.File("config home")));
        env.insert("XDG_STATE_HOME", QString::fromStdString(top_.File("state home")));
        env.insert("HOME", QString::fromStdString(top_.File("home")));
        recorder_.setProcessEnvironment(env);
        recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString program = QString::fromStdString(program_);
        const QString launcher = QString::fromStdString(launcher_);
        if (geteuid() == 0) {
            // Exit 99: the folder could still be written, so the test would prove nothing.
            recorder_.start("unshare", {"--mount", "--propagation", "private", "sh", "-c",
                                        "mount --bind -o ro \"$1\" \"$1\" || exit 98; "
                                        "touch \"$1/probe\" 2>/dev/null && exit 99; exec \"$2\"",
                                        "sh", program, launcher});
        } else {
            recorder_.start(launcher, {});
        }
        ASSERT_TRUE(recorder_.waitForStarted());
        const auto main = WaitForWindows(kMainWindow, 1, 20000);
        ASSERT_EQ(main.size(), 1u) << "no main window; exit code " << recorder_.exitCode();
        main_ = main[0];
    }
    void Key(const char* key) { testsupport::Run("xdotool", {"key", "--clearmodifiers", key}); }
    void Quit() {
        testsupport::Run("xdotool", {"windowactivate", "--sync", main_});
        Key("alt+F4");
        ASSERT_TRUE(recorder_.waitForFinished(15000)) << "the recorder did not quit";
        EXPECT_EQ(recorder_.exitCode(), 0);
    }
    std::string ConfigFile() { return top_.File("config home/rivive-zuzuve/Config.ini"); }
    std::string Log() { return ReadFile(top_.File("state home/rivive-zuzuve/Diary/RiviveZuzuve.log")); }
    std::vector<fs::path> Saved() {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(top_.File("out folder")))
            files.push_back(entry.path());
        return files;
    }

    testsupport::TempDir top_;
    std::string root_, program_, launcher_, main_;
    QProcess recorder_;
};

TEST_F(InstalledCopy, KeepsSettingsAndLogInTheXdgFoldersAndSavesWhereTheSettingsSay) {
    // A first run creates the folders and writes every setting there.
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Quit());
    ASSERT_TRUE(platform::FileExists(ConfigFile()));
    EXPECT_EQ(Ini(ConfigFile(), "Video Settings", "FrameRate"), "20");
    std::string log = Log();
    EXPECT_NE(log.find(kStartLine), std::string::npos) << log;
    EXPECT_NE(log.find(kQuitLine), std::string::npos) << log;
    for (const char* left : {"Config.ini", "Diary"})
        EXPECT_FALSE(platform::FileExists(program_ + left)) << left;

    // The second records 3 s with the hot keys into the automatic folder the settings name, as
    // MP4 through the installed converter when the build has one.
    const bool converter = platform::FileExists(RZ_BIN_DIR "/codes/Transmux");
    const std::string out = top_.File("out folder");
    ASSERT_TRUE(platform::WritePrivateProfileString("Output Settings", "AutoSave", "1", ConfigFile()));
    ASSERT_TRUE(platform::WritePrivateProfileString("Output Settings", "AutoSaveDir", out.c_str(),
                                                    ConfigFile()));
    ASSERT_TRUE(platform::WritePrivateProfileString("Video Settings", "VideoType",
                                                    converter ? "102" : "100", ConfigFile()));
    ASSERT_NO_FATAL_FAILURE(Start());
    Key("F8");
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Start Record") != std::string::npos; },
                          std::chrono::seconds(10)))
        << "F8 did not start a recording";
    QThread::sleep(3);
    Key("F10");
    const auto box = WaitForWindows(kSavedBox, 1, 120000);
    ASSERT_EQ(box.size(), 1u) << "no saved-file message";
    testsupport::Run("xdotool", {"windowactivate", "--sync", box[0]});
    Key("Return");
    ASSERT_NO_FATAL_FAILURE(Quit());

    const auto saved = Saved();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].extension(), converter ? ".mp4" : ".avi");
    EXPECT_EQ(saved[0].filename().string().rfind("Recorder-", 0), 0u) << saved[0];
    const double seconds = std::atof(
        testsupport::Run("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
                        saved[0].string()})
            .c_str());
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 8.0);
    log = Log();
    EXPECT_NE(log.find("File Path is " + saved[0].string()), std::string::npos) << log;
    EXPECT_EQ(Ini(ConfigFile(), "Output Settings", "AutoSaveDir"), out);
}

}  // namespace
