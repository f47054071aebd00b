#pragma once
// Pixel-exact bitmap operations on 32-bit images (QImage::Format_RGB32 / ARGB32), the way the
// recorder's skins expect them: nearest-pixel stretching, whole-pixel rectangles, magenta keys.
// Thread contract: plain functions over the images they are given; any thread.
#include "platform/core/types.h"

#include <QImage>

namespace platform {

// The colour 0x00BBGGRR as a Qt RGB value.
QRgb ColorRefToRgb(std::uint32_t colorRef);

// A 32-bit opaque copy of `image` (RGB32); a null image stays null.
QImage ToRgb32(const QImage& image);

// Copies `src` rectangle of `source` onto `dst` rectangle of `target`, stretching by nearest
// pixel: target column dx takes source column src.left + (dx * srcWidth) / dstWidth.
// Rectangles with a non-positive size copy nothing; pixels outside either image are skipped.
void StretchCopy(const QImage& source, const Rect& src, QImage& target, const Rect& dst);

// Like StretchCopy, but source pixels of exactly `key` (RGB, alpha ignored) leave the target as
// it was.
void StretchCopyKeyed(const QImage& source, const Rect& src, QImage& target, const Rect& dst,
                      QRgb key);

// A copy of `image` as ARGB32 whose pixels of exactly `key` are fully transparent.
QImage KeyedToAlpha(const QImage& image, QRgb key);

}  // namespace platform
