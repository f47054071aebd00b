// The real recorder killed in the middle of a recording with sound, then started again: the
// recording is offered with its time and length, and Save gives a file with its video and sound.
#include "../../unit/media/media_test_util.h"
#include "companions/phrasebook/phrasebook.h"
#include "e2e/app/box_text.h"
#include "support/desktop.h"
#include "support/test_support.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

namespace {

namespace fs = std::filesystem;
using testsupport::FindWindows;
using testsupport::WaitForWindows;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kBox = "^Rivive Zuzuve$";

void Key(const std::string& keys) { testsupport::Run("xdotool", {"key", "--clearmodifiers", keys}); }

double DecodedSeconds(const std::string& path, const char* stream) {
    const std::string out = mediatest::Shell("ffmpeg -nostdin -v error -stats -i '" + path + "' -map 0:" + stream +
                                             " -f null - 2>&1");
    const std::size_t at = out.rfind("time=");
    int h = 0, m = 0;
    double sec = 0;
    if (at == std::string::npos || std::sscanf(out.c_str() + at, "time=%d:%d:%lf", &h, &m, &sec) != 3) return -1;
    return h * 3600 + m * 60 + sec;
}

class LeftRecordingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
        testsupport::CopyProgramFolder(dir_.Path());
        fs::create_directories(dir_.File("out"));
        fs::create_directories(dir_.File("tmp"));
        testsupport::WriteFile(dir_.File("Config.ini"),
                               "[Audio Settings]\nRecordAudio=1\n[Output Settings]\nAutoSave=1\nAutoSaveDir=" +
                                   dir_.File("out") + "\n[Global Options]\nPlayVideo=0\nStartMinimize=0\n");
    }
    void TearDown() override {
        for (QProcess* p : {&recorder_, &tone_})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
    }
    void StartRecorder() {
        // Its own temporary folder, so only its own recordings are found.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", QString::fromStdString(dir_.File("tmp")));
        recorder_.setProcessEnvironment(env);
        recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
        recorder_.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
        ASSERT_TRUE(recorder_.waitForStarted());
        ASSERT_EQ(WaitForWindows(kMainWindow).size(), 1u);
    }
    // The text of the message box now up (copied with CTRL+C), then `key` pressed in it.
    std::string AnswerBox(const std::string& expected, const char* key) {
        return e2eapp::AnswerBox(kBox, expected, key);
    }
    std::vector<fs::path> Files(const std::string& folder) {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file()) files.push_back(e.path());
        return files;
    }

    testsupport::TempDir dir_;
    QProcess recorder_, tone_;
};

TEST_F(LeftRecordingEndToEnd, KilledRecordingIsOfferedAndSavedWithItsSound) {
    StartRecorder();
    const std::string toneFile = dir_.File("tone.wav");
    testsupport::Run("sox", {"-n", "-r", "22050", "-c", "1", toneFile, "synth", "60", "sine", "1000"});
    tone_.start("paplay", {"-d", "rz_null", QString::fromStdString(toneFile)});
    Key("F8");
    ASSERT_TRUE(WaitUntil([&] { return Files(dir_.File("tmp")).size() == 2; }, std::chrono::seconds(10)))
        << "recording with sound";
    QTest::qWait(12000);
    recorder_.kill();  // SIGKILL, 12 s into the recording
    ASSERT_TRUE(recorder_.waitForFinished(10000));

    StartRecorder();
    const std::string offer = AnswerBox(GetText("MsgBox", "LeftRecording"), "Return");  // Save
    EXPECT_NE(offer.find(GetText("MsgBox", "LeftRecording")), std::string::npos) << offer;
    std::smatch length;
    ASSERT_TRUE(std::regex_search(offer, length, std::regex(std::string(GetText("MsgBox", "LeftRecordingLength")) +
                                                            "(\\d+) s")))
        << offer;
    EXPECT_GE(std::stoi(length[1]), 10);
    for (const char* button : {"Save", "Delete", "Later"})
        EXPECT_NE(offer.find(button), std::string::npos) << offer;

    const std::string saved = AnswerBox(GetText("MsgBox", "SaveSuccess"), "Return");
    EXPECT_NE(saved.find(GetText("MsgBox", "AutoSaveFile")), std::string::npos) << saved;
    const std::vector<fs::path> out = Files(dir_.File("out"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(mediatest::Probe(out[0].string(), "codec_name", "v:0"), "msvideo1");
    const double video = DecodedSeconds(out[0].string(), "v"), sound = DecodedSeconds(out[0].string(), "a");
    EXPECT_GE(video, 10.0);
    EXPECT_GE(sound, 10.0);
    EXPECT_NEAR(sound, video, 1.0);
    // The tone is in what was recovered, up to its last seconds.
    const std::string level = mediatest::Shell("ffmpeg -nostdin -v error -sseof -3 -i '" + out[0].string() +
                                               "' -map 0:a -t 2 -f wav - | sox -t wav - -n stat 2>&1");
    const std::size_t rms = level.find("RMS     amplitude:");
    ASSERT_NE(rms, std::string::npos) << level;
    EXPECT_GT(std::atof(level.c_str() + rms + 18), 0.05) << level;
    EXPECT_TRUE(WaitUntil([&] { return Files(dir_.File("tmp")).empty(); })) << "nothing left to offer";
}

}  // namespace
