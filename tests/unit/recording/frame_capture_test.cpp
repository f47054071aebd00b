#include "fakes.h"
#include "platform/media/avi_writer.h"
#include "recording/flashing_wnd.h"
#include "recording/frame_capture.h"

#include <gtest/gtest.h>

using namespace recording;

namespace {

Bitmap WhiteBitmap(int width, int height) {
    Bitmap b;
    b.width = width;
    b.height = height;
    b.stride = DibStride(width, 24);
    b.bits.assign(static_cast<std::size_t>(b.stride) * height, 0xFF);
    return b;
}

std::uint32_t RGB(Bitmap& b, int x, int y) {  // 0x00RRGGBB
    std::uint8_t* p = b.Pixel(x, y);
    return p[2] << 16 | p[1] << 8 | p[0];
}

std::uint32_t DibRGB(const std::uint8_t* dib, int x, int y) {
    const auto* h = reinterpret_cast<const platform::media::BITMAPINFOHEADER*>(dib);
    int stride = DibStride(h->biWidth, 24);
    const std::uint8_t* p = dib + 40 + static_cast<std::size_t>(h->biHeight - 1 - y) * stride + x * 3;
    return p[2] << 16 | p[1] << 8 | p[0];
}

// The halo of the examples: 40 pixels across, tinting yellow (blue reduced).
struct HaloJob : RecordJob {
    HaloJob() {
        HighLightSize = 40;
        HighLightMouseCOLOR = 0x7DFFFF;
        ClickHighMouseLeftCOLOR = 0x0000FF;
        ClickHighMouseRightCOLOR = 0xFF0000;
    }
};

}  // namespace

TEST(DibLayout, StrideAndHeaderFollowTheBitmapInfoRules) {
    struct Case {
        int width, bits, stride;
    } cases[] = {{101, 24, 304}, {100, 24, 300}, {1, 24, 4}, {4, 24, 12}, {101, 32, 404}, {3, 8, 4}};
    for (const Case& c : cases) EXPECT_EQ(DibStride(c.width, c.bits), c.stride) << c.width;

    Bitmap b = WhiteBitmap(101, 7);
    std::uint8_t* dib = Bitmap2Dib(b, 24, {});
    ASSERT_NE(dib, nullptr);
    const auto* h = reinterpret_cast<const platform::media::BITMAPINFOHEADER*>(dib);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 101);
    EXPECT_EQ(h->biHeight, 7);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, 304u * 7);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(DibSize(101, 7, 24), 40u + 304 * 7);
    EXPECT_EQ(DibSize(3, 2, 8), 40u + 256 * 4 + 4 * 2);
    std::free(dib);
}

TEST(DibLayout, UnavailableMemoryGivesNoFrame) {
    Bitmap b = WhiteBitmap(16, 16);
    EXPECT_EQ(Bitmap2Dib(b, 24, [](std::size_t) -> void* { return nullptr; }), nullptr);
}

TEST(HaloDisc, DiameterIsCentredInTheTile) {
    struct Case {
        int size, row, from, to;
    } cases[] = {
        {40, 63, 44, 84}, {40, 64, 44, 84}, {41, 63, 43, 84}, {41, 64, 43, 84},
        {40, 43, 0, 0},   {40, 84, 0, 0},   {0, 64, 0, 0},    {200, 64, 0, 128},
    };
    for (const Case& c : cases) {
        std::vector<DiscSpan> disc = HaloDisc(c.size);
        EXPECT_EQ(disc[c.row].from, c.from) << "size " << c.size << " row " << c.row;
        EXPECT_EQ(disc[c.row].to, c.to) << "size " << c.size << " row " << c.row;
    }
    // The disc of 40 spans rows 44 to 83.
    std::vector<DiscSpan> disc = HaloDisc(40);
    EXPECT_LT(disc[44].from, disc[44].to);
    EXPECT_LT(disc[83].from, disc[83].to);
}

TEST(DrawCursorHalo, AndLeavesOnlyTheColourBitsOfTheHalo) {
    struct Case {
        std::int32_t clickState;
        std::uint32_t expected;  // white AND the colour, as 0x00RRGGBB
    } cases[] = {
        {0, 0xFFFF7D},  // 0x7DFFFF: blue reduced, yellow tint
        {1, 0xFF0000},  // left 0x0000FF: only red
        {2, 0x0000FF},  // right 0xFF0000: only blue
    };
    for (const Case& c : cases) {
        HaloJob job;
        Bitmap b = WhiteBitmap(200, 200);
        DrawCursorHalo(job, c.clickState, b.Rows(), 10, 20);
        EXPECT_EQ(RGB(b, 10 + 64, 20 + 64), c.expected) << c.clickState;
        EXPECT_EQ(RGB(b, 10 + 44, 20 + 64), c.expected) << c.clickState;
        EXPECT_EQ(RGB(b, 10 + 43, 20 + 64), 0xFFFFFFu) << "outside the disc stays";
        EXPECT_EQ(RGB(b, 10, 20), 0xFFFFFFu) << "the tile's white leaves the frame unchanged";
    }
}

TEST(DrawCursorHalo, TileIsCutAtTheFrameEdges) {
    HaloJob job;
    Bitmap b = WhiteBitmap(30, 30);
    DrawCursorHalo(job, 0, b.Rows(), 15 - 64, 15 - 64);  // pointer at (15, 15)
    EXPECT_EQ(RGB(b, 15, 15), 0xFFFF7Du);
    EXPECT_EQ(RGB(b, 0, 0), 0xFFFFFFu);  // distance > 20 from the centre
    Bitmap far = WhiteBitmap(30, 30);
    DrawCursorHalo(job, 0, far.Rows(), 500, 500);
    EXPECT_EQ(far.bits, WhiteBitmap(30, 30).bits);
}

TEST(DrawCursorHalo, FirstClickIsMarkedInThreeFramesLaterOnesInTwo) {
    HaloJob job;
    auto frameColour = [&job] {
        Bitmap b = WhiteBitmap(128, 128);
        DrawCursorHalo(job, job.ClickState.load(), b.Rows(), 0, 0);
        return RGB(b, 64, 64);
    };
    job.ClickState = 1;
    std::vector<std::uint32_t> first;
    for (int i = 0; i < 4; ++i) first.push_back(frameColour());
    EXPECT_EQ(first, (std::vector<std::uint32_t>{0xFF0000, 0xFF0000, 0xFF0000, 0xFFFF7D}));

    job.ClickState = 2;
    std::vector<std::uint32_t> second;
    for (int i = 0; i < 3; ++i) second.push_back(frameColour());
    EXPECT_EQ(second, (std::vector<std::uint32_t>{0x0000FF, 0x0000FF, 0xFFFF7D}));
    EXPECT_EQ(job.ClickState.load(), 0);
}

TEST(MarkClick, SetsTheClickOnlyWhenClickMarkingIsOn) {
    RecordJob job;
    MarkClick(job, false);
    EXPECT_EQ(job.ClickState.load(), 0);
    job.ClickHighMouse = 1;
    MarkClick(job, false);
    EXPECT_EQ(job.ClickState.load(), 1);
    MarkClick(job, true);
    EXPECT_EQ(job.ClickState.load(), 2);
}

class CaptureFrameTest : public ::testing::Test {
protected:
    CaptureFrameTest() {
        // Columns in three colours, so that orientation and offsets show.
        screen.colour = [](int x, int y) -> std::uint32_t { return (x % 256) << 16 | (y % 256) << 8 | 0x40; };
        cursor.width = 2;
        cursor.height = 2;
        cursor.xHotspot = 1;
        cursor.yHotspot = 1;
        cursor.argb = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
        job.RecordMode = 0;
        job.FlashingRect = 1;
    }
    std::vector<std::string> frameCalls;
    CFlashingWnd frame{1920, 1080, std::make_unique<rectest::FakeFrameHost>(&frameCalls)};
    rectest::FakeScreen screen;
    platform::CursorImage cursor;
    HaloJob job;
};

TEST_F(CaptureFrameTest, FrameHoldsTheAreaBottomUpWithCursorAtItsHotspot) {
    FrameCapturer capturer(screen, cursor, nullptr);
    job.RecordMouse = 1;
    job.HighLightMouse = 0;
    screen.pointer = {110, 60};
    std::uint8_t* dib = capturer.CaptureFrame(job, 100, 50, 101, 40);
    ASSERT_NE(dib, nullptr);
    const auto* h = reinterpret_cast<const platform::media::BITMAPINFOHEADER*>(dib);
    EXPECT_EQ(h->biWidth, 101);
    EXPECT_EQ(h->biHeight, 40);
    EXPECT_EQ(DibRGB(dib, 0, 0), (100u << 16) | (50u << 8) | 0x40);
    EXPECT_EQ(DibRGB(dib, 100, 39), (200u << 16) | (89u << 8) | 0x40);
    // The 2 × 2 black cursor with hotspot (1, 1) covers (9..10, 9..10) of the frame.
    EXPECT_EQ(DibRGB(dib, 9, 9), 0u);
    EXPECT_EQ(DibRGB(dib, 10, 10), 0u);
    EXPECT_NE(DibRGB(dib, 11, 11), 0u);
    EXPECT_NE(DibRGB(dib, 8, 8), 0u);
    capturer.FreeFrame(dib);
}

TEST_F(CaptureFrameTest, WithoutRecordMouseNothingIsDrawnAndClicksWait) {
    FrameCapturer capturer(screen, cursor, nullptr);
    screen.colour = [](int, int) { return 0xFFFFFFu; };
    screen.pointer = {120, 70};
    job.RecordMouse = 0;
    job.HighLightMouse = 1;
    job.ClickState = 1;
    std::uint8_t* dib = capturer.CaptureFrame(job, 100, 50, 64, 64);
    ASSERT_NE(dib, nullptr);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(DibRGB(dib, x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(job.ClickState.load(), 1);
    capturer.FreeFrame(dib);
}

TEST_F(CaptureFrameTest, HaloIsCentredOnThePointerUnderTheCursor) {
    FrameCapturer capturer(screen, cursor, nullptr);
    screen.colour = [](int, int) { return 0xFFFFFFu; };
    screen.pointer = {150, 100};
    job.RecordMouse = 1;
    job.HighLightMouse = 1;
    std::uint8_t* dib = capturer.CaptureFrame(job, 100, 50, 120, 120);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(DibRGB(dib, 50 + 15, 50), 0xFFFF7Du);  // inside the disc, right of the cursor
    EXPECT_EQ(DibRGB(dib, 50 - 20, 50), 0xFFFF7Du);  // leftmost column of the disc
    EXPECT_EQ(DibRGB(dib, 50 - 21, 50), 0xFFFFFFu);
    EXPECT_EQ(DibRGB(dib, 49, 49), 0u);  // cursor drawn over the halo
    capturer.FreeFrame(dib);
}

TEST_F(CaptureFrameTest, AGrabThatReadsNothingIsLoggedWhenItBeginsAndWhenItEnds) {
    FrameCapturer capturer(screen, cursor, nullptr);
    job.RecordMouse = 0;
    rectest::LogTail log;
    const bool readable[] = {true, false, false, false, true, true, false};
    for (bool r : readable) {
        screen.readable = r;
        std::uint8_t* dib = capturer.CaptureFrame(job, 100, 50, 8, 8);
        ASSERT_NE(dib, nullptr) << "a frame all the same";
        if (!r) {
            EXPECT_EQ(DibRGB(dib, 3, 3), 0u);
        }
        capturer.FreeFrame(dib);
    }
    auto count = [&log](const std::string& line) {
        const std::string text = log.Text();
        int n = 0;
        for (auto at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("Screen grab failed"), 2) << log.Text();
    EXPECT_EQ(count("Screen grab works again"), 1) << log.Text();
}

TEST_F(CaptureFrameTest, RegionGrabIsBracketedByTheFlashColours) {
    FrameCapturer capturer(screen, cursor, &frame);
    frame.SetFrameArea(100, 50, 64, 64);
    screen.onGrab = [this] { frameCalls.push_back("grab"); };
    frameCalls.clear();
    capturer.FreeFrame(capturer.CaptureFrame(job, 100, 50, 64, 64));
    EXPECT_EQ(frameCalls, (std::vector<std::string>{"fill 92,42,171,121 B4FFFF", "grab",
                                                    "fill 92,42,171,121 50FF00"}));

    frameCalls.clear();
    job.RecordMode = 1;  // full screen never flashes
    capturer.FreeFrame(capturer.CaptureFrame(job, 100, 50, 64, 64));
    job.RecordMode = 0;
    job.FlashingRect = 0;
    capturer.FreeFrame(capturer.CaptureFrame(job, 100, 50, 64, 64));
    EXPECT_EQ(frameCalls, (std::vector<std::string>{"grab", "grab"}));
}

TEST_F(CaptureFrameTest, HeldFramesAreNeverOverwrittenAndFreedOnesAreReused) {
    FrameCapturer capturer(screen, cursor, nullptr);
    int colour = 0x111111;
    screen.colour = [&colour](int, int) { return static_cast<std::uint32_t>(colour); };
    std::uint8_t* a = capturer.CaptureFrame(job, 0, 0, 32, 32);
    colour = 0x222222;
    std::uint8_t* b = capturer.CaptureFrame(job, 0, 0, 32, 32);
    ASSERT_NE(a, b);
    EXPECT_EQ(DibRGB(a, 5, 5), 0x111111u);
    EXPECT_EQ(DibRGB(b, 5, 5), 0x222222u);
    capturer.FreeFrame(b);
    capturer.FreeFrame(a);

    int allocations = 0;
    FrameCapturer counting(screen, cursor, nullptr, [&allocations](std::size_t n) {
        ++allocations;
        return std::calloc(1, n);
    });
    for (int i = 0; i < 5; ++i) counting.FreeFrame(counting.CaptureFrame(job, 0, 0, 32, 32));
    EXPECT_EQ(allocations, 1);
    counting.FreeFrame(counting.CaptureFrame(job, 0, 0, 48, 32));  // new size, new block
    EXPECT_EQ(allocations, 2);
}

TEST_F(CaptureFrameTest, MissingMemoryGivesNoFrame) {
    FrameCapturer capturer(screen, cursor, nullptr, [](std::size_t) -> void* { return nullptr; });
    EXPECT_EQ(capturer.CaptureFrame(job, 0, 0, 32, 32), nullptr);
}

TEST_F(CaptureFrameTest, ThirtyTwoBitFramesKeepTheSamePicture) {
    FrameCapturer capturer(screen, cursor, nullptr);
    job.BitsPerPixel = 32;
    job.RecordMouse = 0;
    std::uint8_t* dib = capturer.CaptureFrame(job, 100, 50, 5, 3);
    ASSERT_NE(dib, nullptr);
    const auto* h = reinterpret_cast<const platform::media::BITMAPINFOHEADER*>(dib);
    EXPECT_EQ(h->biBitCount, 32);
    EXPECT_EQ(h->biSizeImage, 20u * 3);
    const std::uint8_t* top = dib + 40 + 2 * 20;  // rows bottom-up: the top row is the last
    EXPECT_EQ(top[4 * 4 + 0], 0x40);
    EXPECT_EQ(top[4 * 4 + 1], 50);
    EXPECT_EQ(top[4 * 4 + 2], 104);
    EXPECT_EQ(top[4 * 4 + 3], 0);
    capturer.FreeFrame(dib);
}
