// The converter runner: its command lines, what it reads back from the converter, and how a
// conversion ends (saved, failed, or stopped by a quit), with a scripted converter.
#include "fake_converter.h"
#include "finish_files.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/convert_worker.h"
#include "finishing/converter_command.h"
#include "finishing/converter_output.h"
#include "finishing/finish_texts.h"
#include "finishing/progess_dlg.h"
#include "support/test_support.h"

#include <QProgressBar>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using namespace finishing;
using namespace finishtest;
using Argv = std::vector<std::string>;

TEST(ConverterCommand, EveryLineOfTheTablesAsTextAndAsArguments) {
    const std::string t = "/opt/rz/codes/Transmux";
    const Argv head = {t, "-i", "/tmp/v.avi"};
    const Argv headSound = {t, "-i", "/tmp/v.avi", "-i", "/tmp/s.wav"};
    auto with = [](Argv a, const Argv& tail) {
        a.insert(a.end(), tail.begin(), tail.end());
        return a;
    };
    struct Row {
        std::int32_t type;
        bool sound;
        std::string text;
        Argv argv;
    };
    const std::string p = "\"/opt/rz/codes/Transmux\" -i \"/tmp/v.avi\"";
    const std::string ps = p + " -i \"/tmp/s.wav\"";
    const Row rows[] = {
        {101, true, ps + " -ab 56 -ar 22050 -y -b 1000000 \"/o/x\"", with(headSound, {"-ab", "56", "-ar", "22050", "-y", "-b", "1000000", "/o/x"})},
        {102, true, ps + " -y -b 1000000 \"/o/x\"", with(headSound, {"-y", "-b", "1000000", "/o/x"})},
        {103, true, ps + " -y -b 1000000 -vcodec mpeg1video \"/o/x\"", with(headSound, {"-y", "-b", "1000000", "-vcodec", "mpeg1video", "/o/x"})},
        {104, true, ps + "  -ab 56 -ar 22050 -y -b 1000000 \"/o/x\"", with(headSound, {"-ab", "56", "-ar", "22050", "-y", "-b", "1000000", "/o/x"})},
        {105, true, ps + " -y -b 1000000 -vcodec mpeg2video \"/o/x\"", with(headSound, {"-y", "-b", "1000000", "-vcodec", "mpeg2video", "/o/x"})},
        {106, true, ps + " -ab 56 -ar 22050 -y -b 1000000 \"/o/x\"", with(headSound, {"-ab", "56", "-ar", "22050", "-y", "-b", "1000000", "/o/x"})},
        {101, false, p + " -y -b 1000000 \"/o/x\"", with(head, {"-y", "-b", "1000000", "/o/x"})},
        {102, false, p + " -y -b 1000000 \"/o/x\"", with(head, {"-y", "-b", "1000000", "/o/x"})},
        {103, false, p + "  -y -b 1000000 -vcodec mpeg1video \"/o/x\"", with(head, {"-y", "-b", "1000000", "-vcodec", "mpeg1video", "/o/x"})},
        {104, false, p + "  -y -b 1000000 \"/o/x\"", with(head, {"-y", "-b", "1000000", "/o/x"})},
        {105, false, p + "  -y -b 1000000 -vcodec mpeg2video \"/o/x\"", with(head, {"-y", "-b", "1000000", "-vcodec", "mpeg2video", "/o/x"})},
        {106, false, p + "  -y -b 1000000  \"/o/x\"", with(head, {"-y", "-b", "1000000", "/o/x"})},
    };
    for (const Row& row : rows) {
        ConvertRequest r{row.type, row.sound, "/opt/rz/", "/tmp/v.avi", "/tmp/s.wav", 1000000, "/o/x"};
        const ConverterCommand c = ConvertCommand(r);
        EXPECT_EQ(c.text, row.text) << row.type << " sound " << row.sound;
        EXPECT_EQ(c.argv, row.argv) << row.type << " sound " << row.sound;
    }
    const ConverterCommand probe = ProbeCommand("/opt/rz/", "/tmp/v.avi");
    EXPECT_EQ(probe.text, p);
    EXPECT_EQ(probe.argv, head);
    EXPECT_TRUE(ConvertCommand({100, false, "/opt/rz/", "/tmp/v.avi", "", 1, "/o/x"}).argv.empty());
}

TEST(ConverterCommand, PathsWithBlanksQuotesAndDollarsStayOneArgument) {
    const std::string folder = "/opt/my rz/", video = "/tmp/a \"b\" $HOME.avi", sound = "/tmp/it's.wav",
                      out = "/home/u/My Videos/$(rm -rf x) \"clip\".mp4";
    const ConverterCommand c = ConvertCommand({102, true, folder, video, sound, 8, out});
    EXPECT_EQ(c.argv, (Argv{folder + "codes/Transmux", "-i", video, "-i", sound, "-y", "-b", "8", out}));
    EXPECT_EQ(c.text, "\"" + folder + "codes/Transmux\" -i \"" + video + "\" -i \"" + sound + "\" -y -b 8 \"" + out + "\"");
}

TEST(ConverterOutput, ChunksAreReadEachOnItsOwn) {
    struct BitrateRow {
        const char* chunk;
        std::int32_t expected;
    };
    const BitrateRow rates[] = {
        {"Input #0, x.avi: bitrate: 1250 kb/s\n", 1250},
        {"Duration: 00:00:03.00, start: 0.0, bitrate:   77 kb/s", 77},
        {"bitrate: 12 kb/s bitrate: 99 kb/s", 12},  // the first marker of a chunk
        {"bitrate: N/A", 7},                         // no "k" after it: unchanged
        {"no rate here", 7},
        {"bitrate: kb/s", 0},  // no digits
        {"bitra", 7},          // a marker cut at the chunk's end
    };
    for (const BitrateRow& r : rates) EXPECT_EQ(BitrateFromChunk(r.chunk, 7), r.expected) << r.chunk;

    struct TimeRow {
        const char* chunk;
        std::optional<std::int32_t> seconds;
    };
    const TimeRow times[] = {
        {"time=12.40 bitrate=2100.3kbits/s\n", 12},
        {"frame=3 time= 5.00 bitrate=1.0kbits/s", 5},
        {"time=5.00\n", std::nullopt},  // no "b" after it
        {"e=5.00 bitrate=1", std::nullopt},
        {"time=N/A bitrate=N/A", 0},
    };
    for (const TimeRow& r : times) EXPECT_EQ(SecondsFromChunk(r.chunk), r.seconds) << r.chunk;

    EXPECT_EQ(ProgressPercent(5, 10), 50);
    EXPECT_EQ(ProgressPercent(2, 3), 66);
    EXPECT_EQ(ProgressPercent(15, 10), 150);  // the bar clamps it to 100
    EXPECT_EQ(ProgressPercent(5, 0), std::nullopt);

    EXPECT_EQ(VideoBitRate(1250), 1000000);
    EXPECT_EQ(VideoBitRate(kUnknownBitrate), 400000000);
    EXPECT_EQ(VideoBitRate(0), 0);
}

class ConvertWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CProgessDlg::Create(1920, 1080);
        SetProgressRange(0, 100);
        SetProgressPos(0);
        QObject::connect(CProgessDlg::Instance()->Bar(), &QProgressBar::valueChanged, &context_,
                         [this](int v) { bar_.push_back(v); });
        job_.mainWindow = window_.Handle();
        job_.programFolder = "/opt/rz/";
        job_.tempAviPath = dir_.File("temp.avi");
        job_.tempWavPath = dir_.File("temp.wav");
        job_.outputPath = dir_.File("clip.mp4");
        job_.videoType = 102;
        job_.recordedSeconds = 10;
        job_.playVideo = 1;
        job_.shellOpen = [this](const std::string& path) {
            std::lock_guard lock(mutex_);
            opened_.push_back(path);
            return true;
        };
        job_.launcher = &converter_;
        job_.converting = &converting_;
        job_.cancelConvert = &cancel_;
        job_.endApplication = [this] { ++ended_; };
        testsupport::WriteFile(job_.tempAviPath, "video");
        testsupport::WriteFile(job_.tempWavPath, "sound");
    }
    // The probe prints a rate; the conversion prints `chunks` and writes the output.
    void ScriptConversion(std::vector<std::string> chunks, platform::ExitStatus status = {true, 0, 0},
                          bool writesOutput = true) {
        converter_.Script({{"Input #0: bitrate: 1250 kb/s\n"}});
        converter_.Script({std::move(chunks), status, writesOutput ? job_.outputPath : std::string()});
    }
    void Run() {
        std::thread worker([this] { ConvertThreadProc(job_); });
        worker.join();
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(50));  // bar messages
    }
    std::vector<std::string> Opened() {
        std::lock_guard lock(mutex_);
        return opened_;
    }
    std::string KeptFilesText(bool sound) const {
        return GetText("MsgBox", "ConvertFailed") + job_.tempAviPath + (sound ? "\n" + job_.tempWavPath : "");
    }

    testsupport::TempDir dir_;
    platform::MessageWindow window_;
    QObject context_;
    std::vector<int> bar_;
    FakeConverter converter_;
    ConvertJob job_;
    std::atomic<std::int32_t> converting_{0}, cancel_{0};
    std::atomic<int> ended_{0};
    std::mutex mutex_;
    std::vector<std::string> opened_;
};

TEST_F(ConvertWorkerTest, ProbedRateGoesOnTheConversionLine) {
    struct Row {
        ScriptedRun probe;
        const char* bitRate;
    };
    const Row rows[] = {
        {{{"Input #0, temp.avi: bitrate: 1250 kb/s\n"}}, "1000000"},
        {{{"Input #0: bitrate: 1250 kb/s\n", "Input #1: bitrate: 500 kb/s\n"}}, "400000"},  // the last wins
        {{{"nothing about a rate"}}, "400000000"},
        {{{"Input #0: bitra", "te: 1250 kb/s"}}, "400000000"},  // split between chunks
        {ScriptedRun{{}, {}, {}, false, true}, "0"},             // the probe cannot run
    };
    testsupport::MessageBoxRecorder boxes;
    for (const Row& row : rows) {
        FakeConverter converter;
        job_.launcher = &converter;
        converter.Script(row.probe);
        converter.Script({{}, {true, 0, 0}, job_.outputPath});
        Run();
        const auto starts = converter.Starts();
        ASSERT_EQ(starts.size(), 2u);
        EXPECT_EQ(starts[0], (Argv{"/opt/rz/codes/Transmux", "-i", job_.tempAviPath}));
        EXPECT_EQ(starts[1], (Argv{"/opt/rz/codes/Transmux", "-i", job_.tempAviPath, "-y", "-b", row.bitRate,
                                   job_.outputPath}))
            << row.bitRate;
        EXPECT_TRUE(converter.AllOwnGroups());
    }
}

TEST_F(ConvertWorkerTest, BarFollowsTheTimeReports) {
    struct Row {
        std::vector<std::string> chunks;
        std::int32_t recordedSeconds;
        std::vector<int> bar;  // every value the bar took
    };
    const Row rows[] = {
        {{"time=5.00 bitrate=1.0kbits/s\n"}, 10, {50, 100, 0}},
        {{"time=5.00 bitrate=1.0kbits/s\n", "time=12.40 bitrate=1.0kbits/s\n"}, 10, {50, 100, 0}},
        {{"frame=1 tim", "e=5.00 bitrate=1.0kbits/s\n"}, 10, {100, 0}},  // marker split: not seen
        {{"time=5.00 bitrate=1.0kbits/s\n"}, 0, {100, 0}},
    };
    testsupport::MessageBoxRecorder boxes;
    for (const Row& row : rows) {
        bar_.clear();
        job_.recordedSeconds = row.recordedSeconds;
        ScriptConversion(row.chunks);
        Run();
        EXPECT_EQ(bar_, row.bar) << row.chunks[0];
    }
}

TEST_F(ConvertWorkerTest, CompletedConversionReportsTheFileAndDeletesTheRecording) {
    struct Row {
        std::int32_t recordAudio;
        const char* logLine;
    };
    for (const Row row : {Row{0, "Tinker.exe, Convert Complete!"}, Row{1, "Tinker.exe Merge Complete!"}}) {
        testsupport::WriteFile(job_.tempAviPath, "video");
        testsupport::WriteFile(job_.tempWavPath, "sound");
        job_.recordAudio = row.recordAudio;
        job_.autoSave = row.recordAudio;
        ScriptConversion({"time=10.00 bitrate=9.0kbits/s\n"});
        testsupport::MessageBoxRecorder boxes;
        LogMark log;
        converting_ = 1;
        Run();
        EXPECT_EQ(converting_, 0);
        EXPECT_FALSE(CProgessDlg::Instance()->isVisible());
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, std::string(GetText("MsgBox", row.recordAudio ? "AutoSaveFile" : "SaveFile")) +
                                             job_.outputPath + GetText("MsgBox", "SaveSuccess"));
        EXPECT_EQ(boxes.Boxes()[0].owner, window_.Handle());
        EXPECT_FALSE(Exists(job_.tempAviPath));
        EXPECT_EQ(Exists(job_.tempWavPath), row.recordAudio == 0) << "the sound goes only when it was used";
        EXPECT_TRUE(Exists(job_.outputPath));
        EXPECT_EQ(Opened().back(), job_.outputPath);
        const std::string lines = log.Since();
        EXPECT_NE(lines.find(row.logLine), std::string::npos);
        EXPECT_NE(lines.find("\"/opt/rz/codes/Transmux\" -i \"" + job_.tempAviPath + "\""), std::string::npos)
            << "the command line is logged";
        EXPECT_EQ(ended_, 0);
    }
}

TEST_F(ConvertWorkerTest, ConversionWithoutACompleteOutputKeepsTheRecording) {
    struct Row {
        const char* what;
        ScriptedRun conversion;
    };
    const Row rows[] = {
        {"converter missing", ScriptedRun{{}, {}, {}, false, true}},
        {"non-zero status", ScriptedRun{{"Transmux: encoder failed: disk full\n"}, {true, 1, 0}, {}}},
        {"killed", ScriptedRun{{"time=1.00 bitrate=1.0kbits/s\n"}, {false, -1, 9}, {}}},
        {"no output file", ScriptedRun{{"time=10.00 bitrate=1.0kbits/s\n"}, {true, 0, 0}, {}}},
    };
    for (std::int32_t sound : {0, 1}) {
        for (const Row& row : rows) {
            job_.recordAudio = sound;
            converter_.Script({{"bitrate: 1 kb/s"}});
            converter_.Script(row.conversion);
            testsupport::MessageBoxRecorder boxes;
            LogMark log;
            converting_ = 1;
            Run();
            EXPECT_EQ(converting_, 0) << row.what;
            EXPECT_FALSE(CProgessDlg::Instance()->isVisible()) << row.what;
            ASSERT_EQ(boxes.Boxes().size(), 1u) << row.what;
            EXPECT_EQ(boxes.Boxes()[0].text, KeptFilesText(sound)) << row.what;
            EXPECT_EQ(boxes.Boxes()[0].caption, "Note");
            EXPECT_EQ(boxes.Boxes()[0].type, platform::MB_OK | platform::MB_ICONWARNING);
            EXPECT_TRUE(Exists(job_.tempAviPath)) << row.what;
            EXPECT_TRUE(Exists(job_.tempWavPath)) << row.what;
            EXPECT_FALSE(Exists(job_.outputPath)) << row.what;
            EXPECT_TRUE(Opened().empty()) << row.what;
            EXPECT_NE(log.Since().find("Convert Failed!"), std::string::npos) << row.what;
        }
    }
}

TEST_F(ConvertWorkerTest, MissingConverterProbesZeroAndIsReported) {
    job_.launcher = nullptr;  // the real start, in a program folder without codes/Transmux
    job_.programFolder = dir_.Path();
    EXPECT_EQ(ProbeBitrate(job_), 0);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    Run();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, KeptFilesText(false));
    EXPECT_TRUE(Exists(job_.tempAviPath));
    EXPECT_NE(log.Since().find("\"" + dir_.Path() + "codes/Transmux\" -i \"" + job_.tempAviPath + "\" -y -b 0 \""),
              std::string::npos)
        << "the line with the rate of a probe that could not run";
}

TEST_F(ConvertWorkerTest, QuitDuringTheConversionStopsAtTheNextOutputAndEndsTheRecorder) {
    for (std::int32_t sound : {0, 1}) {
        testsupport::WriteFile(job_.tempAviPath, "video");
        testsupport::WriteFile(job_.tempWavPath, "sound");
        testsupport::WriteFile(job_.outputPath, "partial");
        job_.recordAudio = sound;
        FakeConverter converter;
        job_.launcher = &converter;
        converter.Script({{"bitrate: 1 kb/s"}});
        ScriptedRun conversion{{"time=2.00 bitrate=1.0kbits/s\n", "time=3.00 bitrate=1.0kbits/s\n"}};
        conversion.stepwise = true;
        converter.Script(conversion);
        testsupport::MessageBoxRecorder boxes;
        LogMark log;
        ended_ = 0;
        std::thread worker([this] { ConvertThreadProc(job_); });
        converter.Release();  // the first report
        ASSERT_TRUE(testsupport::WaitUntil([&] { return CProgessDlg::Instance()->Bar()->value() == 20; }));
        cancel_ = 1;
        EXPECT_EQ(ended_, 0) << "nothing ends before the converter prints again";
        converter.Release();
        worker.join();
        EXPECT_EQ(converter.TerminateWaits(), (std::vector<long>{5000, 0})) << "stopped at once";
        EXPECT_EQ(ended_, 1);
        EXPECT_EQ(cancel_, 0);
        EXPECT_EQ(converting_, 0);
        EXPECT_TRUE(Exists(job_.tempAviPath)) << "the recording is kept for the next start";
        EXPECT_TRUE(Exists(job_.tempWavPath));
        EXPECT_FALSE(Exists(job_.outputPath)) << "the unfinished output goes";
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_NE(log.Since().find(sound ? "Press Stop to stop the Merge!" : "nConvertStatus!Press Stop to Stop the convert!"),
                  std::string::npos);
        EXPECT_NE(log.Since().find(kQuitKeptLine + job_.tempAviPath), std::string::npos) << log.Since();
    }
}

// The quit confirmed after the converter's last report, while it was ending: the file it made is
// the saved recording, and the recorder still ends, without the saved-file box.
TEST_F(ConvertWorkerTest, QuitAfterTheLastReportKeepsTheSavedFileAndStillEndsTheRecorder) {
    testsupport::WriteFile(job_.tempAviPath, "video");
    FakeConverter converter;
    job_.launcher = &converter;
    converter.Script({{"bitrate: 1 kb/s"}});
    ScriptedRun conversion{{"time=2.00 bitrate=1.0kbits/s\n"}};
    conversion.createsFile = job_.outputPath;
    conversion.stepwise = true;
    converter.Script(conversion);
    testsupport::MessageBoxRecorder boxes;
    ended_ = 0;
    std::thread worker([this] { ConvertThreadProc(job_); });
    converter.Release();  // the last report
    ASSERT_TRUE(testsupport::WaitUntil([&] { return CProgessDlg::Instance()->Bar()->value() == 20; }));
    cancel_ = 1;
    converter.Release();  // the converter ends by itself
    worker.join();
    EXPECT_EQ(ended_, 1) << "the quit was not lost";
    EXPECT_EQ(cancel_, 0);
    EXPECT_TRUE(Exists(job_.outputPath));
    EXPECT_FALSE(Exists(job_.tempAviPath)) << "saved, so not offered again";
    EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
