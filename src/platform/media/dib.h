#pragma once
// Packed device-independent bitmaps: the row stride of their pixel rows.

namespace platform::media {

// Bytes per pixel row at `bits` per pixel, padded to a multiple of 4: ((width * bits + 31) / 32) * 4.
constexpr int DibStride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

}  // namespace platform::media
