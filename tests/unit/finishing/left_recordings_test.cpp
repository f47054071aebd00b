// Recordings left in the temporary folder: which video goes with which sound, what each answer
// to the offer does, and the repair of files that were never closed.
#include "finish_files.h"
#include "../media/media_test_util.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/left_recordings.h"
#include "platform/core/messages.h"
#include "platform/media/avi_repair.h"
#include "recording/finished_recording.h"
#include "recording/recording_messages.h"
#include "support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

using namespace finishing;
using namespace finishtest;
namespace fs = std::filesystem;

void Touch(const std::string& path, std::time_t when) {
    utimbuf times{when, when};
    ::utime(path.c_str(), &times);
}

std::uint32_t Le32At(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
           static_cast<unsigned char>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

TEST(LeftRecordingsTest, EachVideoTakesTheSoundWrittenClosestToItWithinSeconds) {
    testsupport::TempDir dir;
    const std::time_t now = std::time(nullptr);
    struct File {
        const char* name;
        int secondsAgo;
    };
    for (const File& f : {File{"temp.avi", 100}, File{"temp12.wav", 98}, File{"temp.wav", 103},
                          File{"temp7.avi", 1000}, File{"temp9.wav", 5000}, File{"other.avi", 100},
                          File{"temp3.avi.part", 100}}) {
        testsupport::WriteFile(dir.File(f.name), "x");
        Touch(dir.File(f.name), now - f.secondsAgo);
    }
    const std::vector<LeftRecording> found = FindLeftRecordings(dir.Path());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].aviPath, dir.File("temp.avi"));
    EXPECT_EQ(found[0].wavPath, dir.File("temp12.wav")) << "2 s apart beats 3 s apart";
    EXPECT_EQ(found[0].modified, now - 100);
    EXPECT_EQ(found[1].aviPath, dir.File("temp7.avi"));
    EXPECT_EQ(found[1].wavPath, "") << "no sound written near it";
}

TEST(LeftRecordingsTest, SaveGoesToTheFinishingDeleteRemovesLaterKeeps) {
    LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
    SelectLanguage("English");
    struct Row {
        int answer;
        bool kept;
        bool finished;
    };
    for (const Row row : {Row{platform::IDYES, true, true}, Row{platform::IDNO, false, false},
                          Row{platform::IDCANCEL, true, false}}) {
        SCOPED_TRACE(row.answer);
        testsupport::TempDir dir;
        WriteVideo(dir.File("temp.avi"), 30);
        WriteWave(dir.File("temp.wav"), 3.0);
        std::vector<platform::WPARAM> tickets;
        platform::MessageWindow window;
        window.On(recording::WM_USER_RECORDFINISH, [&](platform::WPARAM w, platform::LPARAM) {
            tickets.push_back(w);
            return 0;
        });
        settings::RecordSettings settings;
        settings.VideoType = 102;
        settings.AutoSave = 1;
        testsupport::MessageBoxRecorder boxes(row.answer);
        OfferLeftRecordings(window.Handle(), settings, dir.Path());
        testsupport::WaitUntil([] { return false; }, std::chrono::milliseconds(50));

        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const platform::MessageBoxRequest box = boxes.Boxes()[0];
        EXPECT_EQ(box.type, platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
        EXPECT_EQ(box.buttonTexts, (std::vector<std::string>{"Save", "Delete", "Later"}));
        EXPECT_NE(box.text.find(std::string(GetText("MsgBox", "LeftRecordingLength")) + "3 s"), std::string::npos)
            << box.text;
        EXPECT_NE(box.text.find(dir.File("temp.wav")), std::string::npos);
        EXPECT_EQ(Exists(dir.File("temp.avi")), row.kept);
        EXPECT_EQ(Exists(dir.File("temp.wav")), row.kept);
        ASSERT_EQ(tickets.size(), row.finished ? 1u : 0u);
        if (!row.finished) continue;
        const std::optional<recording::FinishedRecording> rec = recording::TakeFinished(tickets[0]);
        ASSERT_TRUE(rec);
        EXPECT_EQ(rec->tempAviPath, dir.File("temp.avi"));
        EXPECT_EQ(rec->tempWavPath, dir.File("temp.wav"));
        EXPECT_EQ(rec->RecordAudio, 1);
        EXPECT_EQ(rec->VideoType, 102) << "the format chosen now";
        EXPECT_EQ(rec->AutoSave, 1);
        EXPECT_EQ(rec->RecordedSeconds, 3);
        EXPECT_EQ(rec->KeepOnCancel, 1) << "a cancelled Save As must not throw it away";
    }
}

// A sound file cut off while being written: whatever its header says, the data reaches the end.
TEST(LeftRecordingsTest, WaveSizesAreMadeToReachTheEndOfTheFile) {
    testsupport::TempDir dir;
    const std::string path = dir.File("temp.wav");
    WriteWave(path, 1.0);
    const std::string whole = testsupport::ReadFile(path);
    const std::size_t dataSize = whole.size() - 44;
    for (std::uint32_t written : {0u, 18u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(written);
        std::string cut = whole;
        for (int i = 0; i < 4; ++i) {
            cut[4 + i] = static_cast<char>(written >> (8 * i));
            cut[40 + i] = static_cast<char>(written >> (8 * i));
        }
        testsupport::WriteFile(path, cut);
        ASSERT_TRUE(platform::media::CompleteWaveSizes(path));
        const std::string fixed = testsupport::ReadFile(path);
        EXPECT_EQ(Le32At(fixed, 40), dataSize);
        EXPECT_EQ(Le32At(fixed, 4), whole.size() - 8);
        EXPECT_EQ(fixed.substr(44), whole.substr(44));
    }
    testsupport::WriteFile(path, "RIFF\0\0\0\0AVI junk");
    EXPECT_FALSE(platform::media::CompleteWaveSizes(path));
}

// A video whose writer never closed it: no index, no lengths. Rewritten, it has both.
TEST(LeftRecordingsTest, VideoWithoutIndexIsRewrittenWithOne) {
    testsupport::TempDir dir;
    const std::string path = dir.File("temp.avi");
    WriteVideo(path, 40);
    std::string bytes = testsupport::ReadFile(path);
    const std::size_t index = bytes.rfind("idx1");
    ASSERT_NE(index, std::string::npos);
    testsupport::WriteFile(path, bytes.substr(0, index));  // the index never written
    ASSERT_TRUE(platform::media::RewriteAviWithIndex(path));
    EXPECT_NE(testsupport::ReadFile(path).find("idx1"), std::string::npos);
    EXPECT_NEAR(platform::media::VideoSeconds(path), 40.0 / kVideoRate, 0.15);
    EXPECT_EQ(mediatest::Probe(path, "codec_name", "v:0"), "msvideo1");
    EXPECT_EQ(mediatest::Probe(path, "nb_frames", "v:0"), "40");
    EXPECT_FALSE(Exists(path + ".part"));

    testsupport::WriteFile(path, "not a video");
    EXPECT_FALSE(platform::media::RewriteAviWithIndex(path));
    EXPECT_EQ(testsupport::ReadFile(path), "not a video");
}

}  // namespace
