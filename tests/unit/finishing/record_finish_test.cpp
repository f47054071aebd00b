// The record-finish handler with a stand-in main window and real temporary files: where the
// output goes, what is kept or deleted, what the user is told, and the copy worker.
#include "fake_converter.h"
#include "finish_files.h"
#include "../media/media_test_util.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/output_refused.h"
#include "finishing/progess_dlg.h"
#include "finishing/record_finish.h"
#include "platform/core/messages.h"
#include "recording/finished_recording.h"
#include "recording/recording_messages.h"
#include "support/test_support.h"

#include <QProgressBar>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <regex>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace finishing;
using namespace finishtest;
namespace fs = std::filesystem;

class FakeHost : public FinishHost {
public:
    FakeHost() {
        window.On(recording::WM_USER_FLASHFRAME, [this](platform::WPARAM w, platform::LPARAM) {
            flashFrames.push_back(static_cast<int>(w));
            return 0;
        });
        window.On(recording::WM_USER_RECORDFINISH, [this](platform::WPARAM w, platform::LPARAM) {
            finishTickets.push_back(w);
            return 0;
        });
    }
    platform::WindowHandle MainWindow() override { return window.Handle(); }
    const recording::RecordJob& Job() override { return job; }
    const settings::RecordSettings& Settings() override { return settings; }
    std::atomic<std::int32_t>& HookInstalled() override { return hook; }
    void RemoveClickHook() override { ++hookRemoved; }
    void RestoreMain() override { ++restored; }
    std::string TempAviPath() override { return tempAvi; }
    std::string TempWavPath() override { return tempWav; }
    bool ShowSelectedArea() override { return showSelectedArea; }
    std::atomic<std::int32_t>& Converting() override { return converting; }
    std::atomic<std::int32_t>& CancelConvert() override { return cancelConvert; }
    std::function<void()> EndApplication() override {
        return [this] { ++ended; };
    }

    platform::MessageWindow window;
    recording::RecordJob job;
    settings::RecordSettings settings;
    std::atomic<std::int32_t> hook{0};
    std::atomic<std::int32_t> converting{0}, cancelConvert{0};
    std::atomic<int> ended{0};
    int hookRemoved = 0, restored = 0;
    std::vector<platform::WPARAM> finishTickets;  // of the finish messages posted
    std::vector<int> flashFrames;
    std::string tempAvi, tempWav;
    bool showSelectedArea = true;
};

class RecordFinishTest : public ::testing::Test {
protected:
    void SetUp() override {
        CProgessDlg::Create(1920, 1080);
        host_.tempAvi = dir_.File("temp.avi");
        host_.tempWav = dir_.File("temp.wav");
        host_.job.RecordMode = 1;
        host_.settings.PlayVideo = 1;
        services_.chooseSavePath = [this](const SaveAsRequest& r, std::string* path) {
            requests_.push_back(r);
            if (chosen_.empty()) return false;
            *path = chosen_;
            return true;
        };
        services_.shellOpen = [this](const std::string& path) {
            std::lock_guard lock(openedMutex_);
            opened_.push_back(path);
            return true;
        };
    }
    void Record(bool sound) {
        WriteVideo(host_.tempAvi);
        host_.job.RecordAudio = sound ? 1 : 0;
        if (sound) WriteWave(host_.tempWav);
    }
    std::vector<std::string> Opened() {
        std::lock_guard lock(openedMutex_);
        return opened_;
    }
    // The messages the handler posts to the main window.
    void Drain() { ASSERT_TRUE(testsupport::ProcessPosted()); }

    testsupport::TempDir dir_;
    FakeHost host_;
    FinishServices services_;
    std::vector<SaveAsRequest> requests_;
    std::string chosen_;
    std::mutex openedMutex_;
    std::vector<std::string> opened_;
};

TEST_F(RecordFinishTest, AutoSaveCreatesTheFolderAndJoinsVideoAndSound) {
    Record(true);
    host_.job.AutoSave = 1;
    host_.settings.AutoSaveDir = dir_.File("missing/auto/");  // created with its parent
    host_.hook = 1;
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    EXPECT_EQ(finisher.OnRecordFinish(5, 6), 0);

    ASSERT_TRUE(fs::is_directory(dir_.File("missing/auto")));
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir_.File("missing/auto"))) files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string out = files[0].string();
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(Recorder-\d\d-\d\d_\d{6}\.avi)")));
    EXPECT_EQ(mediatest::Probe(out, "codec_name", "v:0"), "msvideo1");
    EXPECT_FALSE(mediatest::Probe(out, "codec_name", "a:0").empty());
    EXPECT_TRUE(requests_.empty()) << "no dialog when saving automatically";
    EXPECT_EQ(host_.hookRemoved, 1);
    EXPECT_EQ(host_.hook, 0);
    EXPECT_EQ(host_.restored, 1);
    EXPECT_FALSE(Exists(host_.tempAvi));
    EXPECT_FALSE(Exists(host_.tempWav));
    EXPECT_EQ(Opened(), std::vector<std::string>{out});
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const platform::MessageBoxRequest saved = boxes.Boxes()[0];
    EXPECT_EQ(saved.owner, host_.MainWindow());
    EXPECT_EQ(saved.caption, "Rivive Zuzuve");
    EXPECT_EQ(saved.type, platform::MB_OK);
    EXPECT_EQ(saved.text, std::string(GetText("MsgBox", "AutoSaveFile")) + out + GetText("MsgBox", "SaveSuccess"));
    const std::string lines = log.Since();
    const std::vector<std::string> expected = {"OnRecordFinish Math!", "File Path is " + out + " ",
                                               "Merge_Video_And_Sound_File Successful!"};
    for (const std::string& line : expected)
        EXPECT_NE(lines.find(line), std::string::npos) << line;
}

// Sound missing because the sound server was lost is named after the saved path, to a tenth
// of a second; a recording that lost nothing gets the plain message.
TEST_F(RecordFinishTest, TheSavedFileMessageSaysHowLongSoundWasMissing) {
    struct Case {
        std::uint32_t missingMs;
        const char* seconds;  // null: nothing is added
    } cases[] = {{0, nullptr}, {3040, "3.0"}, {12960, "13.0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missingMs);
        Record(true);
        host_.job.AutoSave = 1;
        host_.job.SoundMissingMs = c.missingMs;
        host_.settings.AutoSaveDir = dir_.File("auto-" + std::to_string(c.missingMs) + "/");
        RecordFinisher finisher(host_, services_);
        testsupport::MessageBoxRecorder boxes;
        finisher.OnRecordFinish(0, 0);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const std::string text = boxes.Boxes()[0].text;
        const std::string plainEnd = GetText("MsgBox", "SaveSuccess");
        if (!c.seconds) {
            EXPECT_EQ(text.substr(text.size() - plainEnd.size()), plainEnd) << text;
            continue;
        }
        std::string missing = GetText("MsgBox", "SoundMissing");
        missing.replace(missing.find("%1"), 2, c.seconds);
        EXPECT_NE(text.find(plainEnd + "\n" + missing), std::string::npos) << text;
        EXPECT_NE(missing.find(std::string(c.seconds) + " s"), std::string::npos) << missing;
    }
}

// The finish message's ticket names the recording: its own files and job values are finished,
// whatever the main window's current recording is, and that recording keeps its click hook, its
// window state and its area frame.
TEST_F(RecordFinishTest, TheTicketsRecordingIsFinishedNotTheOneRunningNow) {
    Record(true);  // the recording running now: host_.tempAvi/tempWav
    host_.job.Running = 1;
    host_.job.RecordMode = 0;
    host_.job.VideoType = 102;
    host_.hook = 1;
    recording::FinishedRecording earlier;
    earlier.tempAviPath = dir_.File("earlier.avi");
    earlier.tempWavPath = dir_.File("earlier.wav");
    WriteVideo(earlier.tempAviPath);
    WriteWave(earlier.tempWavPath);
    earlier.RecordAudio = 1;
    earlier.VideoType = 100;
    earlier.RecordMode = 0;
    chosen_ = dir_.File("earlier-out.avi");
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    finisher.OnRecordFinish(recording::DepositFinished(earlier), 0);
    EXPECT_EQ(mediatest::Probe(chosen_, "codec_name", "v:0"), "msvideo1");
    EXPECT_FALSE(mediatest::Probe(chosen_, "codec_name", "a:0").empty());
    EXPECT_EQ(requests_.at(0).filter, "AVI - Audio Video Interleaved(*.avi)|*.avi||") << "the ticket's format";
    EXPECT_FALSE(Exists(earlier.tempAviPath));
    EXPECT_FALSE(Exists(earlier.tempWavPath));
    EXPECT_TRUE(Exists(host_.tempAvi)) << "the running recording's files are not touched";
    EXPECT_TRUE(Exists(host_.tempWav));
    EXPECT_EQ(host_.hookRemoved, 0);
    EXPECT_EQ(host_.hook, 1);
    EXPECT_EQ(host_.restored, 0);
    EXPECT_TRUE(host_.flashFrames.empty());
    EXPECT_EQ(recording::PendingFinishes(), 0);
}

TEST_F(RecordFinishTest, CancelledDialogDeletesTheTemporaryFilesAndShowsTheAreaAgain) {
    Record(true);
    host_.job.RecordMode = 0;
    RecordFinisher finisher(host_, services_);
    LogMark log;
    finisher.OnRecordFinish(0, 0);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].title, "Save As");
    EXPECT_EQ(requests_[0].filter, "AVI - Audio Video Interleaved(*.avi)|*.avi||");
    EXPECT_EQ(requests_[0].owner, host_.MainWindow());
    EXPECT_FALSE(requests_[0].initialFolder.empty()) << "the documents folder at first";
    EXPECT_FALSE(Exists(host_.tempAvi));
    EXPECT_FALSE(Exists(host_.tempWav));
    EXPECT_EQ(host_.flashFrames, std::vector<int>{0});
    EXPECT_NE(log.Since().find("Save Canceled!"), std::string::npos);
}

TEST_F(RecordFinishTest, ChosenNameIsUsedAsTypedAndItsFolderIsRemembered) {
    Record(true);
    chosen_ = dir_.File("typed-without-extension");
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    finisher.OnRecordFinish(0, 0);
    EXPECT_TRUE(Exists(chosen_));
    EXPECT_EQ(mediatest::Probe(chosen_, "codec_name", "v:0"), "msvideo1");
    EXPECT_EQ(finisher.LastSaveFolder() + "/", dir_.Path());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, std::string(GetText("MsgBox", "SaveFile")) + chosen_ + GetText("MsgBox", "SaveSuccess"));

    // The next dialog opens in that folder.
    Record(true);
    chosen_.clear();
    finisher.OnRecordFinish(0, 0);
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[1].initialFolder + "/", dir_.Path());
}

// Wherever the output cannot be made (the automatic folder, a read-only folder on the join,
// copy and converter paths, a place picked in Save As): one box naming the folder and the kept
// files; No keeps the recording as it is, Yes brings it back with the Save As dialog, and a
// second place that works gives the file.
TEST_F(RecordFinishTest, OutputThatCannotBeCreatedIsOfferedAnotherPlace) {
    struct Row {
        const char* what;
        bool sound;
        std::int32_t videoType;
        bool autoSave;
        bool underAFile;  // else a read-only folder
    };
    const Row rows[] = {
        {"automatic folder under a file", true, 100, true, true},
        {"join into a read-only folder", true, 100, true, false},
        {"copy into a read-only folder", false, 100, true, false},
        {"conversion into a read-only folder", false, 102, true, false},
        {"read-only folder picked in Save As", true, 100, false, false},
    };
    ReadOnlyFolder readOnly(dir_.File("ro"));
    testsupport::WriteFile(dir_.File("a-file"), "x");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (int answer : {platform::IDNO, platform::IDYES}) {
            Record(row.sound);
            host_.job.VideoType = row.videoType;
            host_.job.AutoSave = row.autoSave ? 1 : 0;
            const std::string folder = row.underAFile ? dir_.File("a-file/auto") : readOnly.Path();
            host_.settings.AutoSaveDir = folder;
            chosen_ = folder + "/picked.avi";
            host_.finishTickets.clear();
            requests_.clear();
            FakeConverter converter;  // not reached: the place is tried first
            services_.launcher = &converter;
            RecordFinisher finisher(host_, services_);
            testsupport::MessageBoxRecorder boxes(answer);
            LogMark log;
            finisher.OnRecordFinish(0, 0);
            ASSERT_TRUE(testsupport::WaitUntil([&] { return !boxes.Boxes().empty(); }));
            Drain();
            ASSERT_EQ(boxes.Boxes().size(), 1u) << boxes.Boxes()[1].text;
            const platform::MessageBoxRequest box = boxes.Boxes()[0];
            std::string kept = host_.tempAvi;
            if (row.sound) kept += "\n" + host_.tempWav;
            EXPECT_EQ(box.text, GetText("MsgBox", "OutputNotCreated") + folder + "\n\n" +
                                    GetText("MsgBox", "RecordingKeptIn") + kept + "\n\n" +
                                    GetText("MsgBox", "ChooseAnotherPlace"));
            EXPECT_EQ(box.type, platform::MB_YESNO | platform::MB_ICONWARNING);
            EXPECT_EQ(box.owner, host_.MainWindow());
            EXPECT_TRUE(Exists(host_.tempAvi));
            EXPECT_EQ(Exists(host_.tempWav), row.sound);
            EXPECT_TRUE(converter.Starts().empty());
            EXPECT_NE(log.Since().find("Output not created in " + folder), std::string::npos);
            ASSERT_TRUE(testsupport::WaitUntil([] { return !CProgessDlg::Instance()->isVisible(); }));
            if (answer == platform::IDNO) {
                EXPECT_TRUE(host_.finishTickets.empty());
                continue;
            }
            // Yes: the same recording comes back, this time through the Save As dialog: a
            // writable place saves it; a cancel there still keeps it.
            ASSERT_EQ(host_.finishTickets.size(), 1u);
            const std::size_t asked = requests_.size();
            const bool saveThere = row.videoType == 100;
            chosen_ = saveThere ? dir_.File("elsewhere.avi") : "";
            fs::remove(chosen_.empty() ? dir_.File("none") : chosen_);
            RecordFinisher again(host_, services_);
            again.OnRecordFinish(host_.finishTickets[0], 0);
            ASSERT_TRUE(testsupport::WaitUntil([&] { return !Exists(host_.tempAvi) || !saveThere; }));
            EXPECT_EQ(requests_.size(), asked + 1);
            if (saveThere) {
                EXPECT_EQ(mediatest::Probe(chosen_, "codec_name", "v:0"), "msvideo1");
                EXPECT_EQ(mediatest::Probe(chosen_, "codec_name", "a:0").empty(), !row.sound);
            } else {
                EXPECT_TRUE(Exists(host_.tempAvi)) << "a cancel on the second try keeps the recording";
                EXPECT_NE(log.Since().find("Save Canceled, recording kept"), std::string::npos);
            }
        }
    }
}

TEST_F(RecordFinishTest, UnreadableSoundSavesTheVideoAlone) {
    Record(true);
    testsupport::WriteFile(host_.tempWav, "garbage");
    chosen_ = dir_.File("out.avi");
    testsupport::WriteFile(chosen_, "an older file of that name");
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    finisher.OnRecordFinish(0, 0);
    EXPECT_EQ(mediatest::Probe(chosen_, "codec_name", "v:0"), "msvideo1");
    EXPECT_TRUE(mediatest::Probe(chosen_, "codec_name", "a:0").empty());
    EXPECT_FALSE(Exists(host_.tempAvi));
    EXPECT_FALSE(Exists(host_.tempWav));
    ASSERT_EQ(boxes.Boxes().size(), 2u);  // the join's box, then this one
    EXPECT_EQ(boxes.Boxes()[1].text, GetText("MsgBox", "UnableCombine"));
    EXPECT_EQ(boxes.Boxes()[1].owner, 0u);
    EXPECT_NE(log.Since().find("Merge_Video_And_Sound_File Error code 2 or 4!"), std::string::npos);
    EXPECT_TRUE(Opened().empty());
}

TEST_F(RecordFinishTest, UnreadableVideoKeepsBothTemporaryFiles) {
    Record(true);
    testsupport::WriteFile(host_.tempAvi, "garbage");
    chosen_ = dir_.File("out.avi");
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    finisher.OnRecordFinish(0, 0);
    EXPECT_NE(log.Since().find("Merge_Video_And_Sound_File Error code 1!"), std::string::npos);
    EXPECT_TRUE(Exists(host_.tempAvi));
    EXPECT_TRUE(Exists(host_.tempWav));
    EXPECT_FALSE(Exists(chosen_));
}

TEST_F(RecordFinishTest, FormatsForTheConverterGoToTheConverterWorker) {
    struct Row {
        std::int32_t type;
        bool sound;
        const char* name;
        const char* filter;
    };
    const Row rows[] = {
        {102, true, "clip.mp4", "MP4 - MPEG-4 Video(*.mp4)|*.mp4||"},
        {104, false, "clip.wmv", "WMV - Windows Media Video(*.wmv)|*.wmv||"},
    };
    for (const Row& row : rows) {
        Record(row.sound);
        host_.job.VideoType = row.type;
        host_.job.RecordedSeconds = 2;
        chosen_ = dir_.File(row.name);
        FakeConverter converter;
        converter.Script({{"bitrate: 1250 kb/s"}});
        // Held until the test has looked at the flag: one chunk, then the end.
        converter.Script({{"time=1.00 bitrate=1.0kbits/s\n"}, {true, 0, 0}, chosen_, /*stepwise=*/true});
        services_.launcher = &converter;
        services_.programFolder = "/opt/rz/";
        requests_.clear();
        RecordFinisher finisher(host_, services_);
        testsupport::MessageBoxRecorder boxes;
        LogMark log;
        finisher.OnRecordFinish(0, 0);
        EXPECT_EQ(OutputPath(), chosen_);
        EXPECT_EQ(host_.converting, 1) << "set before the worker runs";
        converter.Release();
        converter.Release();
        ASSERT_EQ(requests_.size(), 1u);
        EXPECT_EQ(requests_[0].filter, row.filter);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return log.Since().find("Complete!") != std::string::npos; }));
        EXPECT_EQ(host_.converting, 0);
        const auto starts = converter.Starts();
        ASSERT_EQ(starts.size(), 2u);
        EXPECT_EQ(starts[1].size(), row.sound ? 9u : 7u) << "the sound goes in as the second input";
        EXPECT_EQ(starts[1].back(), chosen_);
        EXPECT_FALSE(Exists(host_.tempAvi));
        if (row.sound) {
            EXPECT_FALSE(Exists(host_.tempWav));
        }
        EXPECT_FALSE(Exists(dir_.File("clip.avi"))) << "no AVI beside the chosen name";
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, std::string(GetText("MsgBox", "SaveFile")) + chosen_ + GetText("MsgBox", "SaveSuccess"));
        EXPECT_EQ(Opened().back(), chosen_);
    }
}

TEST_F(RecordFinishTest, CopyWorkerSavesVideoWithoutSoundAndRefusesAnExistingFile) {
    Record(false);
    chosen_ = dir_.File("copy.avi");
    const std::string original = testsupport::ReadFile(host_.tempAvi);
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    finisher.OnRecordFinish(0, 0);
    EXPECT_EQ(OutputPath(), chosen_);
    EXPECT_NE(finisher.WorkerId(), std::thread::id());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return log.Since().find("Copy Complete!") != std::string::npos; }));
    EXPECT_FALSE(finisher.StopCopies()) << "a quit now is the caller's to carry out";
    EXPECT_EQ(host_.ended, 0);
    EXPECT_EQ(testsupport::ReadFile(chosen_), original);
    EXPECT_FALSE(Exists(host_.tempAvi));
    EXPECT_EQ(Opened(), std::vector<std::string>{chosen_});
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Rivive Zuzuve");
    EXPECT_EQ(boxes.Boxes()[0].owner, host_.MainWindow());
    // The bar went back to 0-100 and the window was hidden.
    ASSERT_TRUE(testsupport::WaitUntil([] { return !CProgessDlg::Instance()->isVisible(); }));
    EXPECT_EQ(CProgessDlg::Instance()->Bar()->maximum(), 100);

    // A second recording into the same name: refused, the file and the recording are kept.
    Record(false);
    LogMark second;
    finisher.OnRecordFinish(0, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return second.Since().find("CopyFileEx Error!") != std::string::npos; }));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return boxes.Boxes().size() == 2u; }));
    EXPECT_EQ(boxes.Boxes()[1].text.rfind(GetText("MsgBox", "OutputNotCreated") + FolderOf(chosen_) + "\n", 0), 0u)
        << boxes.Boxes()[1].text;
    EXPECT_EQ(boxes.Boxes()[1].caption, "Note");
    EXPECT_TRUE(Exists(host_.tempAvi));
    EXPECT_EQ(testsupport::ReadFile(chosen_), original);
    ASSERT_TRUE(testsupport::WaitUntil([] { return !CProgessDlg::Instance()->isVisible(); }));
}

TEST_F(RecordFinishTest, FailedSaveKeepsVideoAndSoundSideBySide) {
    struct FailingSave : PlatformMergeApi {
        AVIERR SaveV(const std::string&, const AviSaveCallback&, int, AviStream* const*,
                     AVICOMPRESSOPTIONS* const*) override {
            return platform::media::AVIERR_FILEWRITE;
        }
    } failing;
    services_.mergeApi = &failing;
    Record(true);
    const std::string video = testsupport::ReadFile(host_.tempAvi), sound = testsupport::ReadFile(host_.tempWav);
    chosen_ = dir_.File("out.avi");
    RecordFinisher finisher(host_, services_);
    testsupport::MessageBoxRecorder boxes;
    LogMark log;
    finisher.OnRecordFinish(0, 0);
    EXPECT_EQ(testsupport::ReadFile(chosen_), video);
    EXPECT_EQ(testsupport::ReadFile(chosen_ + ".wav"), sound);
    EXPECT_FALSE(Exists(host_.tempAvi));
    EXPECT_FALSE(Exists(host_.tempWav));
    ASSERT_EQ(boxes.Boxes().size(), 2u);  // the join's box, then both paths
    EXPECT_EQ(boxes.Boxes()[1].text, GetText("MsgBox", "FailedMessage") + chosen_ + "\n" + chosen_ + ".wav");
    EXPECT_EQ(boxes.Boxes()[1].owner, 0u);
    EXPECT_NE(log.Since().find("Merge_Video_And_Sound_File Error code 5!"), std::string::npos);
    EXPECT_TRUE(Opened().empty());

    // A sound copy that cannot be written keeps the whole recording, and no half of it is left
    // at the chosen place.
    Record(true);
    chosen_ = dir_.File("second.avi");
    fs::create_directory(chosen_ + ".wav");  // a folder in the sound copy's place
    finisher.OnRecordFinish(0, 0);
    EXPECT_FALSE(Exists(chosen_));
    EXPECT_TRUE(Exists(host_.tempAvi));
    EXPECT_TRUE(Exists(host_.tempWav));
    ASSERT_EQ(boxes.Boxes().size(), 4u);
    EXPECT_EQ(boxes.Boxes()[3].text.rfind(GetText("MsgBox", "OutputNotCreated") + FolderOf(chosen_) + "\n", 0), 0u);
    EXPECT_EQ(boxes.Boxes()[3].owner, host_.MainWindow());
}

}  // namespace
