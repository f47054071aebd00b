#pragma once
// Skin bitmap utilities: loading image files, window shapes from magenta-keyed bitmaps, the
// four-state button strips, copying and stretching, and the nine-part background stretch.
// Bitmaps are 32-bit QImages (a null image is "no bitmap"); a device context is either an image
// (pixel-exact) or a QPainter on a widget. Rectangles are (left, top, right, bottom) in pixels.
// Thread contract: stateless free functions, callable from any thread on images it owns.
#include "platform/core/types.h"
#include "skin/bitmap_ex.h"

#include <QImage>
#include <QRegion>
#include <optional>
#include <string>

class QPainter;

namespace skin {

using platform::Rect;

// Magenta, the colour left out when drawing (exact match only).
constexpr QRgb kTransparentColor = 0xFF00FF;
// Region transparency: red 255, green at most this, blue 255.
constexpr int kRegionGreenTolerance = 16;

enum ImageType { kImageBmp = 0, kImageIco = 1, kImageJpg = 2, kImageGif = 3, kImageUnknown = 4 };

// Type from the name: ".BMP", ".ICO", ".JPG", ".JPEG", ".GIF" tested in that order, anywhere in
// the upper-cased path at a position greater than 0; the first hit decides.
int GetImageType(const std::string& path);
// The file as a bitmap at its own size; null for an unknown type or an unreadable file. A bitmap
// of the program folder's skins/ that cannot be read is replaced by the built-in picture of
// that name (builtin_skin.h).
QImage LoadImageFile(const std::string& path);
// A picture rendered onto black at its own pixel size; null without a picture.
QImage PictureToBitmap(const QImage& picture);

// The opaque pixels of `bitmap` (magenta within the green tolerance is transparent) as a region
// of one rectangle per run, built in batches of at most 2000 rectangles joined by union.
// nullopt without a bitmap; an empty region when nothing is opaque.
std::optional<QRegion> BitmapToRegion(const QImage& bitmap);
// Frame `state` (1-4) of a strip of four equal frames into `target`, w/4 x h. Always 1.
int ExtractStateBitmap(const QImage& strip, CBitmapEx& target, int state);

// Copies the bitmap unstretched from (0, 0) to the rectangle's position and size. Always 1.
int DrawBitmap(const Rect& rect, const QImage& bitmap, QImage& target);
int DrawBitmap(const Rect& rect, const QImage& bitmap, QPainter& painter);
// The whole bitmap stretched to the rectangle, leaving out pixels of exactly 0xFF00FF.
void DrawTransparentBitmap(QImage& target, const QImage& bitmap, int left, int top, int right,
                           int bottom);
void DrawTransparentBitmap(QPainter& painter, const QImage& bitmap, int left, int top, int right,
                           int bottom);
// Stretch-copies the source rectangle of the bitmap onto the destination rectangle; 0 without a
// destination rectangle, else 1.
int StretchBitmap(const Rect* source, const Rect* destination, const QImage& bitmap,
                  QImage& target);
// (0, 0, width, height).
Rect GetBitmapRect(const QImage& bitmap);

// Nine-part stretch of `source` to the rectangle's size, cut at column cx and row cy: corners
// and edges keep their size, bands repeat column cx / row cy. Always 1.
int BuildNinePartBitmap(int cx, int cy, const QImage& source, CBitmapEx& target,
                        const Rect& rect);
// BuildNinePartBitmap, then DrawBitmap at the rectangle. Always 1.
int DrawSkinBitmap(const QImage& bitmap, QImage& target, int cx, int cy, const Rect& rect);
int DrawSkinBitmap(const QImage& bitmap, QPainter& painter, int cx, int cy, const Rect& rect);

}  // namespace skin
