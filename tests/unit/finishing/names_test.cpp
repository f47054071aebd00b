// Output names, Save As filters and the copy's bar range.
#include "finishing/copy_worker.h"
#include "finishing/output_names.h"
#include "finishing/save_as_dialog.h"

#include <gtest/gtest.h>

namespace {

using namespace finishing;

TEST(OutputNames, DefaultNameAndFilterFollowTheFormat) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;  // March
    t.tm_mday = 7;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    struct Row {
        int type;
        const char* name;
        const char* filter;
    };
    const Row rows[] = {
        {100, "Recorder-03-07_140509.avi", "AVI - Audio Video Interleaved(*.avi)|*.avi||"},
        {101, "Recorder-03-07_140509.flv", "FLV - Flash Video Format(*.flv)|*.flv||"},
        {102, "Recorder-03-07_140509.mp4", "MP4 - MPEG-4 Video(*.mp4)|*.mp4||"},
        {103, "Recorder-03-07_140509.mpg", "MPEG-1 Movie(*mpg)|*.mpg||"},
        {104, "Recorder-03-07_140509.wmv", "WMV - Windows Media Video(*.wmv)|*.wmv||"},
        {105, "Recorder-03-07_140509.mpg", "MPEG-2 Movie(*mpg)|*.mpg||"},
        {106, "Recorder-03-07_140509.swf", "SWF - SWF Video Format(*.swf)|*.swf||"},
        // A hand-edited code outside the list is saved as AVI.
        {7, "Recorder-03-07_140509.avi", "AVI - Audio Video Interleaved(*.avi)|*.avi||"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.type);
        EXPECT_EQ(DefaultFileName(r.type, t), r.name);
        EXPECT_STREQ(SaveAsFilter(r.type), r.filter);
    }
    // Hours run 00-23, every field two digits.
    t = std::tm{};
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 59;
    EXPECT_EQ(DefaultFileName(100, t), "Recorder-12-31_235959.avi");
}

TEST(OutputNames, FilterBecomesAQtNameFilter) {
    EXPECT_EQ(QtNameFilter("AVI - Audio Video Interleaved(*.avi)|*.avi||"),
              "AVI - Audio Video Interleaved(*.avi) (*.avi)");
    EXPECT_EQ(QtNameFilter("MPEG-1 Movie(*mpg)|*.mpg||"), "MPEG-1 Movie(*mpg) (*.mpg)");
    EXPECT_EQ(QtNameFilter("A|*.a|B|*.b||"), "A (*.a);;B (*.b)");
}

TEST(CopyBar, RangeCountsStartedBlocksOfTheLow32Bits) {
    const std::pair<std::uint64_t, int> rows[] = {
        {0, 0},
        {1, 1},
        {65535, 1},
        {65536, 1},
        {65537, 2},
        {10 * 65536 + 3, 11},
        {0xFFFF0000ull, 0xFFFF},
        {0xFFFF0001ull, 0},           // 65536 blocks do not fit the range field
        {(1ull << 32) + 5, 1},        // only the low 32 bits count
    };
    for (const auto& [size, range] : rows) EXPECT_EQ(CopyProgress::BarRange(size), range) << size;
}

}  // namespace
