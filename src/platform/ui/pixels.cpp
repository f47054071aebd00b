#include "platform/ui/pixels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

QRgb ColorRefToRgb(std::uint32_t colorRef) {
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

QImage ToRgb32(const QImage& image) {
    if (image.isNull()) return {};
    if (image.format() == QImage::Format_RGB32) return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

namespace {

// Source column (or row) for each target column (or row) of a stretch, -1 when outside.
std::vector<int> Mapping(int srcStart, int srcLen, int srcLimit, int dstLen) {
    std::vector<int> map(static_cast<size_t>(dstLen));
    for (int d = 0; d < dstLen; ++d) {
        long long s = srcStart + (static_cast<long long>(d) * srcLen) / dstLen;
        map[static_cast<size_t>(d)] = (s >= 0 && s < srcLimit) ? static_cast<int>(s) : -1;
    }
    return map;
}

template <typename PixelOp>
void Stretch(const QImage& source, const Rect& src, QImage& target, const Rect& dst, PixelOp op) {
    if (source.isNull() || target.isNull()) return;
    if (src.Width() <= 0 || src.Height() <= 0 || dst.Width() <= 0 || dst.Height() <= 0) return;
    std::vector<int> cols = Mapping(src.left, src.Width(), source.width(), dst.Width());
    std::vector<int> rows = Mapping(src.top, src.Height(), source.height(), dst.Height());
    for (int dy = 0; dy < dst.Height(); ++dy) {
        int ty = dst.top + dy;
        int sy = rows[static_cast<size_t>(dy)];
        if (ty < 0 || ty >= target.height() || sy < 0) continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        QRgb* out = reinterpret_cast<QRgb*>(target.scanLine(ty));
        for (int dx = 0; dx < dst.Width(); ++dx) {
            int tx = dst.left + dx;
            int sx = cols[static_cast<size_t>(dx)];
            if (tx < 0 || tx >= target.width() || sx < 0) continue;
            op(out[tx], in[sx]);
        }
    }
}

bool Is32Bit(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

// An unstretched copy lying wholly inside both images: row by row.
bool CopyRows(const QImage& in, const Rect& src, QImage& target, const Rect& dst, bool opaque) {
    if (src.Width() != dst.Width() || src.Height() != dst.Height() || src.Width() <= 0 ||
        src.Height() <= 0)
        return false;
    if (src.left < 0 || src.top < 0 || src.right > in.width() || src.bottom > in.height() ||
        dst.left < 0 || dst.top < 0 || dst.right > target.width() || dst.bottom > target.height())
        return false;
    for (int y = 0; y < src.Height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(in.constScanLine(src.top + y)) + src.left;
        QRgb* to = reinterpret_cast<QRgb*>(target.scanLine(dst.top + y)) + dst.left;
        if (opaque)
            for (int x = 0; x < src.Width(); ++x) to[x] = from[x] | 0xFF000000u;
        else
            std::memcpy(to, from, sizeof(QRgb) * static_cast<size_t>(src.Width()));
    }
    return true;
}

// A band that repeats one source column (width 1) and, or one source row (height 1), lying
// wholly inside both images: rows filled, or the one row copied down.
bool FillBands(const QImage& in, const Rect& src, QImage& target, const Rect& dst, bool opaque) {
    if (src.Width() <= 0 || src.Height() <= 0 || dst.Width() <= 0 || dst.Height() <= 0) return false;
    if (src.left < 0 || src.top < 0 || src.right > in.width() || src.bottom > in.height() ||
        dst.left < 0 || dst.top < 0 || dst.right > target.width() || dst.bottom > target.height())
        return false;
    const QRgb mask = opaque ? 0xFF000000u : 0u;
    if (src.Width() == 1) {
        for (int y = 0; y < dst.Height(); ++y) {
            const int sy = src.top + static_cast<int>((static_cast<long long>(y) * src.Height()) / dst.Height());
            const QRgb px = reinterpret_cast<const QRgb*>(in.constScanLine(sy))[src.left] | mask;
            QRgb* to = reinterpret_cast<QRgb*>(target.scanLine(dst.top + y)) + dst.left;
            std::fill(to, to + dst.Width(), px);
        }
        return true;
    }
    if (src.Height() == 1 && src.Width() == dst.Width()) {
        const QRgb* from = reinterpret_cast<const QRgb*>(in.constScanLine(src.top)) + src.left;
        for (int y = 0; y < dst.Height(); ++y) {
            QRgb* to = reinterpret_cast<QRgb*>(target.scanLine(dst.top + y)) + dst.left;
            for (int x = 0; x < dst.Width(); ++x) to[x] = from[x] | mask;
        }
        return true;
    }
    return false;
}

}  // namespace

void StretchCopy(const QImage& source, const Rect& src, QImage& target, const Rect& dst) {
    QImage in = Is32Bit(source) ? source : ToRgb32(source);
    if (!target.isNull() && !Is32Bit(target)) target = ToRgb32(target);
    const bool opaqueTarget = target.format() == QImage::Format_RGB32;
    if (!in.isNull() && !target.isNull() && CopyRows(in, src, target, dst, opaqueTarget)) return;
    if (!in.isNull() && !target.isNull() && FillBands(in, src, target, dst, opaqueTarget)) return;
    Stretch(in, src, target, dst, [opaqueTarget](QRgb& out, QRgb px) {
        out = opaqueTarget ? (px | 0xFF000000u) : px;
    });
}

void StretchCopyKeyed(const QImage& source, const Rect& src, QImage& target, const Rect& dst,
                      QRgb key) {
    QImage in = Is32Bit(source) ? source : ToRgb32(source);
    if (!target.isNull() && !Is32Bit(target)) target = ToRgb32(target);
    const QRgb rgbKey = key & 0x00FFFFFFu;
    const bool opaqueTarget = target.format() == QImage::Format_RGB32;
    Stretch(in, src, target, dst, [rgbKey, opaqueTarget](QRgb& out, QRgb px) {
        if ((px & 0x00FFFFFFu) == rgbKey) return;
        out = opaqueTarget ? (px | 0xFF000000u) : px;
    });
}

QImage KeyedToAlpha(const QImage& image, QRgb key) {
    if (image.isNull()) return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgbKey = key & 0x00FFFFFFu;
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = ((line[x] & 0x00FFFFFFu) == rgbKey) ? 0u : (line[x] | 0xFF000000u);
    }
    return out;
}

}  // namespace platform
