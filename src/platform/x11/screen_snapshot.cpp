#include "platform/x11/screen_snapshot.h"

#include "platform/x11/screen_source.h"

#include <vector>

namespace platform {

QImage SnapshotScreen(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    std::unique_ptr<ScreenSource> screen = OpenScreenSource();
    if (!screen) return {};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * height);
    screen->Grab(0, 0, width, height, rows.data(), stride);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        // Rows come bottom-up, three bytes a pixel (blue, green, red).
        const std::uint8_t* in = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

}  // namespace platform
