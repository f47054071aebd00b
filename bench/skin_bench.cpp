// Cost of the skin work done while painting: cutting a frame out of a page-tab strip and
// building its window shape (done on every state change of a skinned button), a worst-case
// ragged shape of the main window's size, and the nine-part stretch of the main background at
// its own size and at full-HD. Uses the generated skins when present, else drawn stand-ins.
// The last line reads
//   skin: frame_shape_us=N ragged_653x450_us=N ninepart_653x450_us=N ninepart_1920x1080_us=N
#include "bench_timing.h"
#include "platform/core/paths.h"
#include "skin/bitmap_utils.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using bench::MicrosPerRun;

QImage LoadOr(const std::string& path, int w, int h) {
    QImage image = skin::LoadImageFile(path);
    if (!image.isNull()) return image;
    image = QImage(w, h, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    QPainter p(&image);
    p.setBrush(QColor(40, 90, 200));
    for (int f = 0; f < 4; ++f) p.drawRoundedRect(f * w / 4, 0, w / 4 - 1, h - 1, 9, 9);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    // build/bench/ beside build/bin/ of the program folder.
    const std::string skins = platform::GetProgramFolder() + "../bin/skins";
    const QImage tab = LoadOr(skins + "/Select Area.bmp", 404, 39);
    const QImage background = LoadOr(skins + "/main.bmp", 653, 450);

    const double frameShape = MicrosPerRun(2000, [&] {
        skin::CBitmapEx frame;
        skin::ExtractStateBitmap(tab, frame, 3);
        auto region = skin::BitmapToRegion(frame.Image());
        if (!region) std::abort();
    });

    // Every other pixel cut out: 146,925 runs, the most a 653 x 450 bitmap can have.
    QImage ragged(653, 450, QImage::Format_RGB32);
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 653; ++x)
            ragged.setPixel(x, y, ((x + y) & 1) ? qRgb(255, 0, 255) : qRgb(10, 20, 30));
    const double raggedShape = MicrosPerRun(5, [&] {
        auto region = skin::BitmapToRegion(ragged);
        if (!region) std::abort();
    });

    const double nineOwn = MicrosPerRun(200, [&] {
        skin::CBitmapEx nine;
        skin::BuildNinePartBitmap(610, 200, background, nine, skin::Rect{0, 0, 653, 450});
    });
    const double nineHd = MicrosPerRun(50, [&] {
        skin::CBitmapEx nine;
        skin::BuildNinePartBitmap(610, 200, background, nine, skin::Rect{0, 0, 1920, 1080});
    });

    std::printf("skin: frame_shape_us=%.1f ragged_653x450_us=%.0f ninepart_653x450_us=%.0f "
                "ninepart_1920x1080_us=%.0f\n",
                frameShape, raggedShape, nineOwn, nineHd);
    return 0;
}
