#include "skin/bitmap_utils.h"

#include "platform/ui/pixels.h"
#include "skin/builtin_skin.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace skin {

namespace {

constexpr int kRegionBatch = 2000;  // rectangles handed to one region build
constexpr int kRegionBlock = 100;   // the rectangle list grows in blocks of this many

bool IsRegionTransparent(QRgb px) {
    return qRed(px) == 255 && qGreen(px) <= kRegionGreenTolerance && qBlue(px) == 255;
}

// Rectangles of one batch, joined into the result when the batch is full or at the end.
class RegionBatcher {
public:
    void Add(const QRect& rect) {
        if (rects_.size() == rects_.capacity())
            rects_.reserve(rects_.capacity() + kRegionBlock);
        rects_.push_back(rect);
        if (static_cast<int>(rects_.size()) == kRegionBatch) Flush();
    }
    QRegion Finish() {
        Flush();
        return result_;
    }

private:
    void Flush() {
        if (rects_.empty()) return;
        QRegion batch;
        // Runs arrive row by row, left to right, one pixel high: already y-x sorted bands.
        batch.setRects(rects_.data(), static_cast<int>(rects_.size()));
        result_ = result_.united(batch);
        rects_.clear();
    }
    std::vector<QRect> rects_;
    QRegion result_;
};

}  // namespace

int GetImageType(const std::string& path) {
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static const struct {
        const char* ext;
        int type;
    } kTests[] = {{".BMP", kImageBmp}, {".ICO", kImageIco}, {".JPG", kImageJpg},
                  {".JPEG", kImageJpg}, {".GIF", kImageGif}};
    for (const auto& test : kTests) {
        std::size_t at = upper.find(test.ext);
        if (at != std::string::npos && at > 0) return test.type;
    }
    return kImageUnknown;
}

QImage PictureToBitmap(const QImage& picture) {
    if (picture.isNull()) return {};
    QImage bitmap(picture.size(), QImage::Format_RGB32);
    if (bitmap.isNull()) return {};
    bitmap.fill(Qt::black);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, picture);
    return bitmap;
}

QImage LoadImageFile(const std::string& path) {
    const QString file = QString::fromLocal8Bit(path.c_str());
    switch (GetImageType(path)) {
        case kImageBmp: {
            QImageReader reader(file, "BMP");
            QImage image = platform::ToRgb32(reader.read());
            return image.isNull() ? BuiltInSkin(path) : image;
        }
        case kImageUnknown: return {};
        default: {
            QImageReader reader(file);
            reader.setDecideFormatFromContent(true);
            QImage picture = reader.read();
            return PictureToBitmap(picture);
        }
    }
}

std::optional<QRegion> BitmapToRegion(const QImage& bitmap) {
    if (bitmap.isNull()) return std::nullopt;
    const QImage pixels = platform::ToRgb32(bitmap);
    if (pixels.isNull()) return std::nullopt;
    RegionBatcher batcher;
    const int w = pixels.width();
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && IsRegionTransparent(line[x])) ++x;
            if (x == w) break;
            int x0 = x;
            while (x < w && !IsRegionTransparent(line[x])) ++x;
            batcher.Add(QRect(x0, y, x - x0, 1));
        }
    }
    return batcher.Finish();
}

int ExtractStateBitmap(const QImage& strip, CBitmapEx& target, int state) {
    const int w = strip.width();
    const int h = strip.height();
    QImage frame(std::max(w / 4, 0), h, QImage::Format_RGB32);
    frame.fill(Qt::black);
    const int left = (state - 1) * w / 4;
    Rect src{left, 0, w / 4 + left, h};
    Rect dst{0, 0, w / 4, h};
    platform::StretchCopy(strip, src, frame, dst);
    target.Attach(std::move(frame));
    return 1;
}

int DrawBitmap(const Rect& rect, const QImage& bitmap, QImage& target) {
    Rect src{0, 0, rect.Width(), rect.Height()};
    platform::StretchCopy(bitmap, src, target, rect);
    return 1;
}

int DrawBitmap(const Rect& rect, const QImage& bitmap, QPainter& painter) {
    if (bitmap.isNull()) return 1;
    painter.drawImage(QPoint(rect.left, rect.top), bitmap,
                      QRect(0, 0, rect.Width(), rect.Height()));
    return 1;
}

void DrawTransparentBitmap(QImage& target, const QImage& bitmap, int left, int top, int right,
                           int bottom) {
    platform::StretchCopyKeyed(bitmap, GetBitmapRect(bitmap), target,
                               Rect{left, top, right, bottom}, kTransparentColor);
}

void DrawTransparentBitmap(QPainter& painter, const QImage& bitmap, int left, int top, int right,
                           int bottom) {
    if (bitmap.isNull() || right <= left || bottom <= top) return;
    QImage stretched(right - left, bottom - top, QImage::Format_ARGB32);
    stretched.fill(Qt::transparent);
    platform::StretchCopyKeyed(bitmap, GetBitmapRect(bitmap), stretched,
                               Rect{0, 0, right - left, bottom - top}, kTransparentColor);
    painter.drawImage(left, top, stretched);
}

int StretchBitmap(const Rect* source, const Rect* destination, const QImage& bitmap,
                  QImage& target) {
    if (!destination) return 0;
    Rect src = source ? *source : GetBitmapRect(bitmap);
    platform::StretchCopy(bitmap, src, target, *destination);
    return 1;
}

Rect GetBitmapRect(const QImage& bitmap) { return Rect{0, 0, bitmap.width(), bitmap.height()}; }

int BuildNinePartBitmap(int cx, int cy, const QImage& source, CBitmapEx& target,
                        const Rect& rect) {
    const int W = rect.Width(), H = rect.Height();
    QImage canvas(std::max(W, 0), std::max(H, 0), QImage::Format_RGB32);
    canvas.fill(Qt::black);
    const int sw = source.width(), sh = source.height();
    // (destination x, y, w, h), (source x, y, w, h)
    const int parts[9][8] = {
        {0, 0, cx, cy, 0, 0, cx, cy},
        {cx, 0, W - sw, cy, cx, 0, 1, cy},
        {W - sw + cx, 0, sw - cx, cy, cx, 0, sw - cx, cy},
        {0, cy, cx, H - sh, 0, cy, cx, 1},
        {cx, cy, W - sw, H - sh, cx, cy, 1, 1},
        {W - sw + cx, cy, sw - cx, H - sh, cx, cy, sw - cx, 1},
        {0, H - sh + cy, cx, sh - cy, 0, cy, cx, sh - cy},
        {cx, H - sh + cy, W - sw, sh - cy, cx, cy, 1, sh - cy},
        {W - sw + cx, H - sh + cy, sw - cx, sh - cy, cx, cy, sw - cx, sh - cy},
    };
    for (const auto& p : parts) {
        Rect dst{p[0], p[1], p[0] + p[2], p[1] + p[3]};
        Rect src{p[4], p[5], p[4] + p[6], p[5] + p[7]};
        StretchBitmap(&src, &dst, source, canvas);
    }
    target.Attach(std::move(canvas));
    return 1;
}

int DrawSkinBitmap(const QImage& bitmap, QImage& target, int cx, int cy, const Rect& rect) {
    CBitmapEx nine;
    BuildNinePartBitmap(cx, cy, bitmap, nine, rect);
    DrawBitmap(rect, nine.Image(), target);
    return 1;
}

int DrawSkinBitmap(const QImage& bitmap, QPainter& painter, int cx, int cy, const Rect& rect) {
    CBitmapEx nine;
    BuildNinePartBitmap(cx, cy, bitmap, nine, rect);
    DrawBitmap(rect, nine.Image(), painter);
    return 1;
}

}  // namespace skin
