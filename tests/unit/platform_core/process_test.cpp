// Child processes with redirected output: arguments arrive as given, both output streams are
// read, the exit status is told, and a child that does not end is stopped with what it started.
#include "platform/core/process.h"
#include "support/test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

using platform::SystemProcessLauncher;
using Args = std::vector<std::string>;

std::string ReadAll(platform::ChildProcess& child, std::vector<std::size_t>* sizes = nullptr) {
    std::string out;
    char buffer[1024];
    while (const std::size_t n = child.Read(buffer, sizeof buffer)) {
        out.append(buffer, n);
        if (sizes) sizes->push_back(n);
    }
    return out;
}

TEST(ChildProcess, ArgumentsOutputAndExitStatus) {
    struct Row {
        Args argv;
        std::string output;
        int code;
    };
    const Row rows[] = {
        {{"printf", "%s|", "a b", "it's \"q\"", "$HOME", "`x`", ""}, "a b|it's \"q\"|$HOME|`x`||", 0},
        {{"sh", "-c", "echo out; echo err >&2; exit 3"}, "out\nerr\n", 3},
    };
    for (const Row& row : rows) {
        std::string error;
        auto child = SystemProcessLauncher().Start(row.argv, {}, &error);
        ASSERT_TRUE(child) << error;
        EXPECT_EQ(ReadAll(*child), row.output) << row.argv[0];
        const platform::ExitStatus s = child->Terminate(std::chrono::seconds(5));
        EXPECT_TRUE(s.exited);
        EXPECT_EQ(s.code, row.code);
        EXPECT_EQ(child->Terminate(std::chrono::seconds(0)).code, row.code) << "the same status again";
    }
}

TEST(ChildProcess, ChildWaitingOnItsInputIsStopped) {
    // Nothing is written to the child's input, and it is not closed while the child runs.
    auto child = SystemProcessLauncher().Start({"sh", "-c", "read line; echo got=$line"}, {}, nullptr);
    ASSERT_TRUE(child);
    const platform::ExitStatus s = child->Terminate(std::chrono::milliseconds(100));
    EXPECT_FALSE(s.exited);
    EXPECT_EQ(s.signal, SIGTERM);
    char buffer[16];
    EXPECT_EQ(child->Read(buffer, sizeof buffer), 0u);
}

TEST(ChildProcess, LongOutputComesInChunksOfAtMostTheBufferSize) {
    auto child = SystemProcessLauncher().Start({"sh", "-c", "head -c 5000 /dev/zero | tr '\\0' x"}, {}, nullptr);
    ASSERT_TRUE(child);
    std::vector<std::size_t> sizes;
    EXPECT_EQ(ReadAll(*child, &sizes), std::string(5000, 'x'));
    for (std::size_t n : sizes) EXPECT_LE(n, 1024u);
    EXPECT_TRUE(child->Terminate(std::chrono::seconds(5)).Succeeded());
}

TEST(ChildProcess, MissingProgramIsReported) {
    std::string error;
    EXPECT_EQ(SystemProcessLauncher().Start({"/nonexistent/codes/Transmux", "-i", "x"}, {}, &error), nullptr);
    EXPECT_NE(error.find("/nonexistent/codes/Transmux"), std::string::npos) << error;
    EXPECT_EQ(SystemProcessLauncher().Start({}, {}, &error), nullptr);
}

TEST(ChildProcess, StoppingAGroupLeaderStopsWhatItStarted) {
    testsupport::TempDir dir;
    const std::string pidFile = dir.File("grandchild");
    platform::StartOptions group;
    group.ownProcessGroup = true;
    // The child starts a grandchild that ignores nothing and sleeps, then waits for it.
    auto child = SystemProcessLauncher().Start(
        {"sh", "-c", "sleep 30 & echo $! > \"$0\"; echo started; wait", pidFile}, group, nullptr);
    ASSERT_TRUE(child);
    char buffer[64];
    ASSERT_GT(child->Read(buffer, sizeof buffer), 0u);
    const auto start = std::chrono::steady_clock::now();
    const platform::ExitStatus s = child->Terminate(std::chrono::milliseconds(0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(s.Succeeded());
    const pid_t grandchild = std::stoi(testsupport::ReadFile(pidFile));
    // Gone, or a zombie left for whoever adopted it.
    auto ended = [grandchild] {
        const std::string stat = testsupport::ReadFile("/proc/" + std::to_string(grandchild) + "/stat");
        const std::size_t paren = stat.rfind(')');
        return paren == std::string::npos || stat.compare(paren + 2, 1, "Z") == 0;
    };
    ASSERT_TRUE(testsupport::WaitUntil(ended, std::chrono::seconds(5)))
        << "the grandchild was stopped too";
}

}  // namespace
