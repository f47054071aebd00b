#include "recording/frame_capture.h"

#include "companions/diary/diary.h"
#include "platform/media/avi_writer.h"
#include "recording/flashing_wnd.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace recording {

namespace {

constexpr std::size_t kHeaderSize = sizeof(platform::media::BITMAPINFOHEADER);

int ColoursUsed(int bits) { return bits <= 8 ? 1 << bits : 0; }

bool PackInto(const Bitmap& bitmap, int bits, std::uint8_t* block) {
    FillDibHeader(block, bitmap.width, bitmap.height, bits);
    std::uint8_t* rows = block + kHeaderSize + ColoursUsed(bits) * 4;
    if (bits == 24) {
        std::memcpy(rows, bitmap.bits.data(), static_cast<std::size_t>(bitmap.stride) * bitmap.height);
        return true;
    }
    if (bits == 32) {
        for (int y = 0; y < bitmap.height; ++y) {
            const std::uint8_t* in = bitmap.bits.data() + static_cast<std::size_t>(y) * bitmap.stride;
            std::uint8_t* out = rows + static_cast<std::size_t>(y) * DibStride(bitmap.width, 32);
            for (int x = 0; x < bitmap.width; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 0;
            }
        }
        return true;
    }
    return false;
}

void* DefaultAllocate(std::size_t size) { return std::calloc(1, size); }

}  // namespace

std::size_t DibSize(int width, int height, int bits) {
    return static_cast<std::size_t>(height) * DibStride(width, bits) + ColoursUsed(bits) * 4 +
           kHeaderSize;
}

std::size_t FillDibHeader(std::uint8_t* block, int width, int height, int bits) {
    std::size_t total = DibSize(width, height, bits);
    platform::media::BITMAPINFOHEADER header{};
    header.biSize = kHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = 0;
    header.biSizeImage = static_cast<std::uint32_t>(total - ColoursUsed(bits) * 4 - kHeaderSize);
    header.biClrUsed = static_cast<std::uint32_t>(ColoursUsed(bits));
    std::memcpy(block, &header, kHeaderSize);
    return total;
}

std::uint8_t* Bitmap2Dib(const Bitmap& bitmap, int bits, const FrameAllocator& allocate) {
    if (bits != 24 && bits != 32) return nullptr;
    std::size_t total = DibSize(bitmap.width, bitmap.height, bits);
    auto* block = static_cast<std::uint8_t*>(allocate ? allocate(total) : DefaultAllocate(total));
    if (!block) return nullptr;
    PackInto(bitmap, bits, block);
    return block;
}

std::vector<DiscSpan> HaloDisc(int size) {
    std::vector<DiscSpan> rows(kHaloTile);
    int l = static_cast<int>((kHaloTile - size) * 0.5);
    int r = static_cast<int>((kHaloTile + size) * 0.5);
    if (r <= l) return rows;
    double centre = (l + r) / 2.0, radius = (r - l) / 2.0;
    for (int y = 0; y < kHaloTile; ++y) {
        double dy = (y + 0.5 - centre) / radius;
        if (dy * dy > 1.0) continue;
        double dx = radius * std::sqrt(1.0 - dy * dy);
        int from = static_cast<int>(std::ceil(centre - dx - 0.5));
        int to = static_cast<int>(std::floor(centre + dx - 0.5)) + 1;
        rows[y] = {std::clamp(from, 0, kHaloTile), std::clamp(to, 0, kHaloTile)};
    }
    return rows;
}

void DrawCursorHalo(RecordJob& job, std::int32_t clickState, PixelRows bitmap, int x, int y) {
    std::uint32_t colour = static_cast<std::uint32_t>(job.HighLightMouseCOLOR);
    if (clickState == kClickLeft || clickState == kClickRight) {
        colour = static_cast<std::uint32_t>(clickState == kClickLeft ? job.ClickHighMouseLeftCOLOR
                                                                     : job.ClickHighMouseRightCOLOR);
        if (job.ClickFrameCount == 2) {
            job.ClickState = 0;
            job.ClickFrameCount = 0;
        }
        ++job.ClickFrameCount;
    }
    const std::uint8_t red = colour & 0xFF, green = (colour >> 8) & 0xFF,
                       blue = (colour >> 16) & 0xFF;
    std::vector<DiscSpan> disc = HaloDisc(job.HighLightSize);
    for (int ty = 0; ty < kHaloTile; ++ty) {
        int py = y + ty;
        if (py < 0 || py >= bitmap.height) continue;
        int from = std::max(disc[ty].from, -x), to = std::min(disc[ty].to, bitmap.width - x);
        if (from >= to) continue;
        std::uint8_t* p = bitmap.Pixel(x + from, py);
        for (int tx = from; tx < to; ++tx, p += 3) {
            p[0] &= blue;
            p[1] &= green;
            p[2] &= red;
        }
    }
}

void DrawCursor(PixelRows bitmap, const platform::CursorImage& cursor, int x, int y) {
    for (int cy = 0; cy < cursor.height; ++cy) {
        int py = y + cy;
        if (py < 0 || py >= bitmap.height) continue;
        for (int cx = 0; cx < cursor.width; ++cx) {
            int px = x + cx;
            if (px < 0 || px >= bitmap.width) continue;
            std::uint32_t s = cursor.argb[static_cast<std::size_t>(cy) * cursor.width + cx];
            std::uint32_t alpha = s >> 24;
            if (alpha == 0) continue;
            std::uint8_t* p = bitmap.Pixel(px, py);
            std::uint32_t keep = 255 - alpha;
            p[0] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (s & 0xFF) + p[0] * keep / 255));
            p[1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, ((s >> 8) & 0xFF) + p[1] * keep / 255));
            p[2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, ((s >> 16) & 0xFF) + p[2] * keep / 255));
        }
    }
}

FrameCapturer::FrameCapturer(platform::ScreenSource& screen, const platform::CursorImage& cursor,
                             CFlashingWnd* frameWindow, FrameAllocator allocate)
    : screen_(screen), cursor_(cursor), frameWindow_(frameWindow), allocate_(std::move(allocate)) {}

FrameCapturer::~FrameCapturer() { std::free(spare_); }

std::uint8_t* FrameCapturer::CaptureFrame(RecordJob& job, int left, int top, int width,
                                          int height) {
    bool flash = frameWindow_ && job.FlashingRect && job.RecordMode == 0;
    if (flash) frameWindow_->PaintFrame(kFrameBeforeGrab);
    std::uint8_t* dib = width > 0 && height > 0 ? Grab(job, left, top, width, height) : nullptr;
    if (flash) frameWindow_->PaintFrame(kFrameAfterGrab);
    return dib;
}

std::uint8_t* FrameCapturer::Grab(RecordJob& job, int left, int top, int width, int height) {
    const int bits = job.BitsPerPixel;
    if (bits != 24 && bits != 32) return nullptr;
    const std::size_t size = DibSize(width, height, bits);
    std::uint8_t* dib = nullptr;
    if (spare_ && spareSize_ == size) {
        dib = spare_;
        spare_ = nullptr;
    } else {
        dib = static_cast<std::uint8_t*>(allocate_ ? allocate_(size) : DefaultAllocate(size));
        if (!dib) return nullptr;
    }

    PixelRows rows;
    if (bits == 24) {
        FillDibHeader(dib, width, height, bits);
        rows = {width, height, DibStride(width, 24), dib + kHeaderSize};
    } else {
        try {
            if (bitmap_.width != width || bitmap_.height != height) {
                bitmap_.width = width;
                bitmap_.height = height;
                bitmap_.stride = DibStride(width, 24);
                bitmap_.bits.assign(static_cast<std::size_t>(bitmap_.stride) * height, 0);
            }
        } catch (const std::bad_alloc&) {
            bitmap_ = Bitmap{};
            std::free(dib);
            return nullptr;
        }
        rows = bitmap_.Rows();
    }
    const bool grabbed = screen_.Grab(left, top, width, height, rows.data, rows.stride);
    if (grabbed == grabFailing_) {
        grabFailing_ = !grabbed;
        WriteLogLine(grabbed ? "Screen grab works again" : "Screen grab failed, the frames are black");
    }

    if (job.RecordMouse) {
        platform::Point pointer = screen_.PointerPosition();
        int cx = pointer.x - left, cy = pointer.y - top;
        if (job.HighLightMouse)
            DrawCursorHalo(job, job.ClickState.load(), rows, cx - kHaloTile / 2,
                           cy - kHaloTile / 2);
        if (!cursor_.argb.empty()) {
            cx -= cursor_.xHotspot;
            cy -= cursor_.yHotspot;
            DrawCursor(rows, cursor_, cx, cy);
        }
    }
    if (bits != 24) PackInto(bitmap_, bits, dib);

    if (!lent_) {
        lent_ = dib;
        lentSize_ = size;
    }
    return dib;
}

void FrameCapturer::FreeFrame(std::uint8_t* dib) {
    if (!dib) return;
    if (dib != lent_) {
        std::free(dib);
        return;
    }
    lent_ = nullptr;
    std::free(spare_);
    spare_ = dib;
    spareSize_ = lentSize_;
}

}  // namespace recording
