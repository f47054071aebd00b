// The chunked copy that saves a recording without sound, and its worker stopped by a quit: the
// output's name appears only on a complete copy and never over an existing file, and a stopped
// copy leaves no output and keeps the recording.
#include "finish_files.h"
#include "finishing/copy_worker.h"
#include "finishing/file_copy.h"
#include "finishing/finish_texts.h"
#include "support/test_support.h"
#include "../media/media_test_util.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

using namespace finishing;
namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

// Three and a half chunks.
std::string Source() {
    std::string data(kCopyChunk * 7 / 2, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 % 251);
    return data;
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

TEST(FileCopy, TheOutputNameAppearsOnlyOnACompleteCopy) {
    enum Target { kFree, kFile, kAppearsDuringCopy };
    struct Row {
        const char* name;
        Target target;
        bool failIfExists;
        int cancelAtChunk;  // 0: never
        bool copied;
    };
    const Row rows[] = {
        {"free name", kFree, true, 0, true},
        {"existing target refused", kFile, true, 0, false},
        {"target made during the copy kept", kAppearsDuringCopy, true, 0, false},
        {"cancelled mid-copy", kFree, true, 2, false},
        {"existing target replaced", kFile, false, 0, true},
        {"replacing copy cancelled", kFile, false, 1, false},
    };
    const std::string data = Source();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::TempDir src, out;
        const std::string from = src.File("temp.avi"), to = out.File("clip.avi");
        WriteFile(from, data);
        if (row.target == kFile) WriteFile(to, "old");

        int chunks = 0;
        bool outputNamedEarly = false;
        std::set<std::string> during;
        const bool copied = CopyFileWithProgress(from, to, row.failIfExists, [&](std::uint64_t total, std::uint64_t, int reason) {
            EXPECT_EQ(total, data.size());
            if (reason != kCopyChunkFinished) return kCopyContinue;
            ++chunks;
            if (row.target == kFree) outputNamedEarly = outputNamedEarly || fs::exists(to);
            if (chunks == 1) {
                during = Names(out.Path());
                if (row.target == kAppearsDuringCopy) WriteFile(to, "theirs");
            }
            return chunks == row.cancelAtChunk ? kCopyCancel : kCopyContinue;
        });

        EXPECT_EQ(copied, row.copied);
        EXPECT_FALSE(outputNamedEarly) << "a crash during the copy leaves nothing under the output's name";
        EXPECT_EQ(ReadFile(from), data) << "the source is untouched";
        const bool refusedAtOnce = row.target == kFile && row.failIfExists;
        EXPECT_EQ(chunks, refusedAtOnce ? 0 : row.cancelAtChunk ? row.cancelAtChunk : 4);
        if (!refusedAtOnce) {
            ASSERT_EQ(during.size(), row.target == kFile ? 2u : 1u);
            EXPECT_EQ(during.begin()->rfind(".clip.avi.saving-", 0), 0u) << *during.begin();
        }
        // Nothing but the target is left in the folder.
        const bool targetLeft = copied || row.target != kFree;
        EXPECT_EQ(Names(out.Path()), targetLeft ? std::set<std::string>{"clip.avi"} : std::set<std::string>{});
        if (copied) {
            EXPECT_EQ(ReadFile(to), data);
        } else if (row.target == kFile) {
            EXPECT_EQ(ReadFile(to), "old");
        } else if (row.target == kAppearsDuringCopy) {
            EXPECT_EQ(ReadFile(to), "theirs");
        }
    }
}

TEST(FileCopy, UnreadableSourceOrUnwritableFolderFails) {
    testsupport::TempDir dir;
    finishtest::ReadOnlyFolder readOnly(dir.File("ro"));
    WriteFile(dir.File("temp.avi"), "data");
    EXPECT_FALSE(CopyFileWithProgress(dir.File("missing.avi"), dir.File("a.avi"), true));
    EXPECT_FALSE(CopyFileWithProgress(dir.File("temp.avi"), readOnly.Path() + "/a.avi", true));
    EXPECT_TRUE(fs::is_empty(readOnly.Path()));
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"ro", "temp.avi"}));
}

// The worker run on the test's thread, with a quit confirmed before it starts or after it ends.
TEST(CopyWorker, AQuitBeforeTheEndKeepsTheRecordingAndEndsTheRecorder) {
    struct Row {
        const char* name;
        bool quitFirst;
    };
    for (const Row& row : {Row{"quit before the end", true}, Row{"quit after the end", false}}) {
        SCOPED_TRACE(row.name);
        testsupport::TempDir tmp, out;
        CopyJob job;
        job.tempAviPath = tmp.File("temp.avi");
        job.outputPath = out.File("clip.avi");
        WriteFile(job.tempAviPath, Source());
        job.quit = std::make_shared<CopyQuit>();
        int ended = 0;
        job.endApplication = [&ended] { ++ended; };
        testsupport::MessageBoxRecorder boxes;
        finishtest::LogMark log;

        if (row.quitFirst) {
            EXPECT_TRUE(job.quit->Request());
        }
        CopyThreadProc(job);
        // A quit confirmed now: the copy has ended, so the caller quits by itself.
        EXPECT_EQ(job.quit->Request(), row.quitFirst) << "a second request is answered alike";

        EXPECT_EQ(ended, row.quitFirst ? 1 : 0);
        EXPECT_EQ(fs::exists(job.tempAviPath), row.quitFirst) << "the recording is kept for the next start";
        EXPECT_EQ(Names(out.Path()), row.quitFirst ? std::set<std::string>{} : std::set<std::string>{"clip.avi"});
        EXPECT_EQ(boxes.Boxes().size(), row.quitFirst ? 0u : 1u) << "no box on the way out";
        EXPECT_EQ(log.Since().find(kQuitKeptLine + job.tempAviPath) != std::string::npos, row.quitFirst)
            << log.Since();
    }
}

// A video left without an index (a full disk kept it from being given one where it lies) is given
// one on its way to the output; what cannot be read as a video is refused, leaving nothing.
TEST(CopyWorker, AVideoWithoutAnIndexIsGivenOneOnTheWay) {
    testsupport::TempDir tmp, out;
    CopyJob job;
    job.tempAviPath = tmp.File("temp.avi");
    job.outputPath = out.File("clip.avi");
    job.reindex = 1;
    finishtest::WriteVideo(job.tempAviPath, 40);
    std::string bytes = ReadFile(job.tempAviPath);
    WriteFile(job.tempAviPath, bytes.substr(0, bytes.rfind("idx1")));
    testsupport::MessageBoxRecorder boxes;
    std::string refused;
    job.outputRefused = [&refused](const std::string& path) { refused = path; };

    CopyThreadProc(job);
    EXPECT_EQ(Names(out.Path()), std::set<std::string>{"clip.avi"});
    EXPECT_NE(ReadFile(job.outputPath).find("idx1"), std::string::npos);
    EXPECT_EQ(mediatest::Probe(job.outputPath, "nb_frames", "v:0"), "40");
    EXPECT_FALSE(fs::exists(job.tempAviPath)) << "saved, so no longer kept";
    EXPECT_TRUE(refused.empty());

    WriteFile(job.tempAviPath, "not a video");
    fs::remove(job.outputPath);
    CopyThreadProc(job);
    EXPECT_TRUE(Names(out.Path()).empty());
    EXPECT_EQ(refused, job.outputPath);
    EXPECT_EQ(ReadFile(job.tempAviPath), "not a video") << "kept";
}

}  // namespace
