#pragma once
// One video frame: the recorded area copied from the screen, the arrow cursor (optionally over a
// coloured halo that marks clicks) drawn in, packed as a 24-bit bottom-up DIB (a 40-byte
// BITMAPINFOHEADER, the colour table, then the pixel rows).
// Thread contract: a FrameCapturer is used by the recording thread only. It reads and resets the
// job's ClickState (set by the user-interface thread) and paints the flashing frame through its
// queued host.
#include "platform/media/dib.h"
#include "platform/x11/screen_source.h"
#include "recording/record_job.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace recording {

class CFlashingWnd;

// Pixel rows to draw on: stored bottom-up, `stride` bytes each, 3 bytes a pixel (B, G, R).
struct PixelRows {
    int width = 0, height = 0, stride = 0;
    std::uint8_t* data = nullptr;
    std::uint8_t* Pixel(int x, int y) const {  // y counted from the top
        return data + static_cast<std::size_t>(height - 1 - y) * stride +
               static_cast<std::size_t>(x) * 3;
    }
};

// A drawing surface that owns its rows.
struct Bitmap {
    int width = 0, height = 0, stride = 0;
    std::vector<std::uint8_t> bits;
    PixelRows Rows() { return {width, height, stride, bits.data()}; }
    std::uint8_t* Pixel(int x, int y) { return Rows().Pixel(x, y); }
};

constexpr int kHaloTile = 128;

using platform::media::DibStride;

// Allocates zero-initialised memory for a frame; null when it cannot be had.
using FrameAllocator = std::function<void*(std::size_t)>;

// Packs `bitmap` into a DIB of `bits` (24 or 32) bits per pixel in memory from `allocate`
// (released with std::free). Null when the memory cannot be had or `bits` is not supported.
std::uint8_t* Bitmap2Dib(const Bitmap& bitmap, int bits, const FrameAllocator& allocate);
// Fills a DIB header for width × height at `bits`; returns the total block size.
std::size_t FillDibHeader(std::uint8_t* block, int width, int height, int bits);
std::size_t DibSize(int width, int height, int bits);

// The columns [from, to) of each row of the halo disc of diameter `size` in the 128 × 128 tile.
struct DiscSpan {
    int from = 0, to = 0;
};
std::vector<DiscSpan> HaloDisc(int size);

// ANDs the halo tile into `bitmap` with its top-left corner at (x, y) (from the top); picks the
// colour from `clickState` and advances the job's click-mark count.
void DrawCursorHalo(RecordJob& job, std::int32_t clickState, PixelRows rows, int x, int y);
// Draws the cursor image (premultiplied alpha) with its top-left corner at (x, y).
void DrawCursor(PixelRows rows, const platform::CursorImage& cursor, int x, int y);

// Where the recording thread gets its frames.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // The packed DIB of one frame, or null when its memory cannot be had. The frame stays valid
    // until FreeFrame.
    virtual std::uint8_t* CaptureFrame(RecordJob& job, int left, int top, int width,
                                       int height) = 0;
    virtual void FreeFrame(std::uint8_t* dib) = 0;
};

// Frames from the screen, grabbed straight into the frame block at 24 bits. One frame block is
// kept and reused while the frame size stays the same. Frames still held when the capturer is
// destroyed are the holder's to free (with std::free). A grab that reads nothing leaves a black
// frame; the log says so when it begins and when the screen can be read again.
class FrameCapturer final : public FrameSource {
public:
    // `frameWindow` may be null (nothing to flash). The default allocator is calloc.
    FrameCapturer(platform::ScreenSource& screen, const platform::CursorImage& cursor,
                  CFlashingWnd* frameWindow, FrameAllocator allocate = {});
    ~FrameCapturer();
    FrameCapturer(const FrameCapturer&) = delete;
    FrameCapturer& operator=(const FrameCapturer&) = delete;

    std::uint8_t* CaptureFrame(RecordJob& job, int left, int top, int width, int height) override;
    void FreeFrame(std::uint8_t* dib) override;

private:
    std::uint8_t* Grab(RecordJob& job, int left, int top, int width, int height);

    platform::ScreenSource& screen_;
    const platform::CursorImage& cursor_;
    CFlashingWnd* frameWindow_;
    FrameAllocator allocate_;
    Bitmap bitmap_;  // the grab at other depths, before packing
    std::uint8_t* spare_ = nullptr;  // a freed frame block, handed out again when it fits
    std::size_t spareSize_ = 0;
    std::uint8_t* lent_ = nullptr;  // the frame block out with the caller
    std::size_t lentSize_ = 0;
    bool grabFailing_ = false;  // the last grab read nothing (said once in the log)
};

}  // namespace recording
