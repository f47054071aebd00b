#include "companions/diary/diary.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

TEST(Diary, LinesFromManyThreadsArriveWholeAndTimeStampedInTheProgramFolder) {
    const std::string marker = "diary-test-" + std::to_string(::getpid());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                std::string line = marker + " thread " + std::to_string(t) + " line " +
                                   std::to_string(i) + " " + std::string(100, 'a' + t);
                WriteLogLine(line.c_str());
            }
        });
    for (auto& th : threads) th.join();
    WriteLogLine(nullptr);  // ignored

    std::string log = testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log");
    std::istringstream lines(log);
    std::regex whole("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} " + marker +
                     " thread (\\d) line \\d+ ([a-d])\\2{99}$");
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(marker) == std::string::npos) continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, whole)) << line;
        EXPECT_EQ(m[2].str()[0], 'a' + std::stoi(m[1].str()));
        ++count;
    }
    EXPECT_EQ(count, 800);
}

}  // namespace
