#pragma once
// Our own Microsoft Video 1 ("MSVC", CRAM) encoder: packed 24-bit bottom-up DIB frames in, the
// 16-bit (RGB555) MS Video 1 bit stream out, as libavcodec's independent `msvideo1` decoder reads
// it.
//
// Bit stream (per frame): 4x4 blocks, block rows from the bottom of the picture up, blocks left to
// right. Each block starts with a 16-bit little-endian word:
//   0x8400..0x87FF    skip run: the low 10 bits (1..1023) count blocks kept from the previous frame
//   bit 15 set        one-colour fill: the word is the RGB555 colour (red level 1 is impossible
//                     here, as it would read as a skip; such fills are sent as two-colour blocks
//                     of one colour, so flat colours stay exact; below quality 5000 the fill may
//                     instead move red to level 0 or 2 when that costs less)
//   bit 15 clear      16 flag bits, then either two RGB555 colours (first with bit 15 clear) or
//                     eight (first with bit 15 set), one pair per 2x2 quadrant.
// Flag bit i (i = 4*y + x, y counted from the block's bottom row up) picks the first colour of
// the pixel's pair when set and the second when clear; bit 15 must be clear.
//
// Quality: the compressor quality q (0..10000) sets a rate-distortion trade-off
//   lambda(q) = 128 * (2^((10000 - q) / 1000) - 1)
// in squared 8-bit error per coded byte; each block takes the mode (skip, fill, 2 colours,
// 8 colours) with the least  error + lambda * bytes.  lambda falls strictly as q rises (10000 gives
// 0: the least error whatever it costs), so for every block a higher quality picks a mode with no
// more error and no fewer bytes: a higher quality never gives a worse picture and gives a file at
// least as large.  At q 6500 lambda is about 1320.
//
// Sizes: a width or height that is not a multiple of 4 is padded in the stream to the next
// multiple of 4 by repeating the picture's last column (right edge) and last row (bottom edge), so
// the stream's frame is PaddedWidth() x PaddedHeight(); the picture keeps its top-left corner.
//
// Key frames: frame 0 and every key_frame_every-th frame after it are coded without skips; other
// frames skip blocks that the decoder's reconstruction of the previous frame already shows well
// enough.  A frame that happens to have no skips is also reported as a key frame.
//
// Threads: every block row is coded on its own (a skip run never crosses a row end), so two threads
// can share the rows of a frame (each takes the next uncoded row, which balances busy and quiet
// parts of the picture) and the output is the same whether one or two threads do the work.
#include <cstddef>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::media {

class MsVideo1Encoder {
public:
    // threads: 1 or 2 (0 = two when the machine has at least two cores).
    MsVideo1Encoder(int width, int height, int quality, int key_frame_every, int threads = 0);
    ~MsVideo1Encoder();
    MsVideo1Encoder(const MsVideo1Encoder&) = delete;
    MsVideo1Encoder& operator=(const MsVideo1Encoder&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int PaddedWidth() const { return padded_width_; }
    int PaddedHeight() const { return padded_height_; }
    int Threads() const { return threads_; }
    // Squared-error-per-byte trade-off for a quality (see above).
    static double LambdaForQuality(int quality);

    // Encodes one frame of packed 24-bit bottom-up DIB rows (stride DibStride(width, 24), or `stride`
    // when given). `force_key` codes it as a key frame whatever the count says. Returns the coded
    // bytes (valid until the next call); `key` tells whether it is a key frame.
    const std::vector<std::uint8_t>& Encode(const std::uint8_t* dib, bool* key,
                                            bool force_key = false, std::size_t stride = 0);

    // The picture the decoder shows after the last frame, as padded 24-bit bottom-up rows
    // (PaddedWidth() * 3 bytes each, no row padding).
    const std::uint8_t* Reconstruction() const { return recon_.data(); }

private:
    struct Worker;
    void RunRows(bool key);
    std::size_t EncodeRow(int block_row, bool key, std::uint8_t* out, bool* any_skip);

    int width_, height_, padded_width_, padded_height_;
    int blocks_wide_, blocks_high_;
    int key_frame_every_;
    int threads_;
    std::int64_t lambda_;
    bool allow_red_shift_;  // below quality 5000 a red-1 fill may move to red 0 or 2
    long frame_count_ = 0;
    const std::uint8_t* src_ = nullptr;  // padded source rows of the frame being coded
    std::size_t src_stride_ = 0;
    std::vector<std::uint8_t> padded_;  // padded copy when the size needs padding
    std::vector<std::uint8_t> recon_;
    std::size_t row_capacity_ = 0;
    std::vector<std::uint8_t> rows_;  // one slot of row_capacity_ bytes per block row
    std::vector<std::size_t> row_size_;
    std::vector<std::uint8_t> row_skip_;
    std::atomic<int> next_row_{0};
    std::vector<std::uint8_t> out_;
    std::unique_ptr<Worker> worker_;
};

}  // namespace platform::media
