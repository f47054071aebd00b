// The built converter (codes/Transmux) over the real ffmpeg: the probe line, progress while it
// converts, and every way a conversion fails: one line saying why, a non-zero status, and no
// file left behind.
#include "platform/core/process.h"
#include "support/test_support.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <signal.h>

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

const std::string kTransmux = RZ_BIN_DIR "/codes/Transmux";

struct Result {
    std::string output;
    platform::ExitStatus status;
};

Result RunTransmux(const Args& args) {
    Args argv{kTransmux};
    argv.insert(argv.end(), args.begin(), args.end());
    auto child = platform::SystemProcessLauncher().Start(argv, {}, nullptr);
    if (!child) return {};
    Result r;
    char buffer[1024];
    while (const std::size_t n = child->Read(buffer, sizeof buffer)) r.output.append(buffer, n);
    r.status = child->Terminate(std::chrono::seconds(30));
    return r;
}

// An AVI (Microsoft Video 1 as recorded, or Motion JPEG, quicker to make) and a PCM WAVE file of
// `seconds`.
void MakeInputs(const testsupport::TempDir& dir, int seconds, const std::string& size = "160x120",
                const std::string& codec = "msvideo1") {
    const std::string t = std::to_string(seconds);
    testsupport::Shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" + size + ":rate=10 -t " + t +
                       " -c:v " + codec + " '" + dir.File("in.avi") + "'");
    testsupport::Shell("ffmpeg -nostdin -v error -y -f lavfi -i sine=f=440:r=22050 -t " + t +
                       " -c:a pcm_s16le '" + dir.File("in.wav") + "'");
    ASSERT_TRUE(fs::exists(dir.File("in.avi")) && fs::exists(dir.File("in.wav")));
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Transmux, ProbesAndConvertsWithProgress) {
    testsupport::TempDir dir;
    MakeInputs(dir, 3);
    const Result probe = RunTransmux({"-i", dir.File("in.avi")});
    EXPECT_TRUE(probe.status.Succeeded());
    EXPECT_TRUE(std::regex_search(probe.output, std::regex(R"(bitrate: [1-9]\d* kb/s)"))) << probe.output;

    const std::string out = dir.File("a 'b' $c.mp4");
    const Result convert = RunTransmux({"-i", dir.File("in.avi"), "-i", dir.File("in.wav"), "-y", "-b", "300000", out});
    EXPECT_TRUE(convert.status.Succeeded()) << convert.output;
    EXPECT_TRUE(std::regex_search(convert.output, std::regex(R"(time=3\.\d\d bitrate=\d+\.\dkbits/s)"))) << convert.output;
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"a 'b' $c.mp4", "in.avi", "in.wav"}));
}

TEST(Transmux, FailuresSayWhyAndLeaveNoFile) {
    testsupport::TempDir dir;
    MakeInputs(dir, 1);
    testsupport::WriteFile(dir.File("broken.avi"), "not a video");
    struct Row {
        const char* why;
        Args args;
        const char* path;  // PATH for the converter; null keeps it
    };
    const Row rows[] = {
        {"refused", {"-i", dir.File("in.avi"), "-z", dir.File("o.mp4")}, nullptr},
        {"input unreadable", {"-i", dir.File("broken.avi"), "-y", dir.File("o.mp4")}, nullptr},
        {"input unreadable", {"-i", dir.File("in.avi"), "-i", dir.File("none.wav"), "-y", dir.File("o.mp4")}, nullptr},
        {"output not writable", {"-i", dir.File("in.avi"), "-y", dir.File("no/such/folder/o.mp4")}, nullptr},
        {"ffmpeg is not installed", {"-i", dir.File("in.avi"), "-y", dir.File("o.mp4")}, "/nonexistent"},
        {"encoder failed", {"-i", dir.File("in.avi"), "-i", dir.File("in.avi"), "-y", dir.File("o.mp4")}, nullptr},
    };
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Row& row : rows) {
        if (row.path) setenv("PATH", row.path, 1);
        const Result r = RunTransmux(row.args);
        setenv("PATH", savedPath.c_str(), 1);
        EXPECT_TRUE(r.status.exited) << row.why;
        EXPECT_NE(r.status.code, 0) << row.why;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << row.why << ": " << r.output;
        if (row.path == nullptr && std::string(row.why) != "refused") {
            EXPECT_NE(r.output.find(row.why), std::string::npos) << r.output;
        }
        EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"broken.avi", "in.avi", "in.wav"})) << row.why;
    }
}

TEST(Transmux, StoppedConversionEndsPromptlyAndRemovesItsPartialFile) {
    testsupport::TempDir dir;
    MakeInputs(dir, 60, "640x480", "mjpeg");  // some seconds of work for the encoder
    platform::StartOptions group;
    group.ownProcessGroup = true;  // as the recorder starts it
    auto child = platform::SystemProcessLauncher().Start(
        {kTransmux, "-i", dir.File("in.avi"), "-y", "-b", "2000000", dir.File("o.mp4")}, group, nullptr);
    ASSERT_TRUE(child);
    std::string seen;
    char buffer[1024];
    while (seen.find("time=") == std::string::npos)
        if (const std::size_t n = child->Read(buffer, sizeof buffer)) seen.append(buffer, n);
        else break;
    ASSERT_NE(seen.find("time="), std::string::npos);
    const auto start = std::chrono::steady_clock::now();
    const platform::ExitStatus s = child->Terminate(std::chrono::milliseconds(0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "ended within the grace period";
    EXPECT_FALSE(s.Succeeded());
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"in.avi", "in.wav"}));
}

}  // namespace
