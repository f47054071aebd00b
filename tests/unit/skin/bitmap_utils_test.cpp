#include "skin/bitmap_utils.h"
#include "support/test_support.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <gtest/gtest.h>
#include <random>

namespace {

using skin::CBitmapEx;
using skin::Rect;

const QRgb kMagenta = qRgb(255, 0, 255);

QImage Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Every pixel a different colour, so a copy shows where each pixel came from.
QImage Numbered(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) * 16 + 7));
    return image;
}

QImage Random(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, rng() | 0xFF000000u);
    return image;
}

// The region covers exactly the pixels for which `opaque` holds.
void ExpectRegionCovers(const QRegion& region, const QImage& image,
                        const std::function<bool(QRgb)>& opaque) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(region.contains(QPoint(x, y)), opaque(image.pixel(x, y)))
                << "pixel " << x << "," << y;
    EXPECT_TRUE(region.boundingRect().isEmpty() ||
                QRect(0, 0, image.width(), image.height()).contains(region.boundingRect()));
}

TEST(GetImageType, TestsEachExtensionAnywhereAfterTheFirstCharacter) {
    struct Case {
        const char* path;
        int type;
    } cases[] = {
        {"C:\\skins.bmp\\a.jpg", 0},  // ".BMP" is tested first and may sit anywhere
        {"photo.Jpeg", 2},           {"main.bmp", 0},       {"skin.BMP", 0},
        {"icon.ico", 1},             {"pic.jpg", 2},        {"anim.GIF", 3},
        {"image.png", 4},            {"noextension", 4},    {".bmp", 4},  // at position 0
        {"a.gif.ico", 1},            {"x.jpeg.gif", 2},     {"", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(skin::GetImageType(c.path), c.type) << c.path;
}

TEST(BitmapToRegion, MagentaWithinTheGreenToleranceIsCutOut) {
    struct Case {
        QRgb pixel;
        bool transparent;
    } cases[] = {
        {qRgb(255, 0, 255), true},    {qRgb(255, 16, 255), true},   {qRgb(255, 8, 255), true},
        {qRgb(255, 17, 255), false},  {qRgb(254, 0, 255), false},   {qRgb(255, 0, 254), false},
        {qRgb(0, 0, 0), false},       {qRgb(255, 255, 255), false},
    };
    for (const auto& c : cases) {
        // The pixel under test between two opaque neighbours.
        QImage image = Solid(3, 1, qRgb(10, 20, 30));
        image.setPixel(1, 0, c.pixel);
        std::optional<QRegion> region = skin::BitmapToRegion(image);
        ASSERT_TRUE(region);
        EXPECT_EQ(region->contains(QPoint(1, 0)), !c.transparent) << std::hex << c.pixel;
        EXPECT_TRUE(region->contains(QPoint(0, 0)));
        EXPECT_TRUE(region->contains(QPoint(2, 0)));
    }
}

TEST(BitmapToRegion, EmptyFullAndMissingBitmaps) {
    std::optional<QRegion> none = skin::BitmapToRegion(QImage());
    EXPECT_FALSE(none.has_value());

    std::optional<QRegion> empty = skin::BitmapToRegion(Solid(40, 30, kMagenta));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());

    std::optional<QRegion> full = skin::BitmapToRegion(Solid(40, 30, qRgb(1, 2, 3)));
    ASSERT_TRUE(full.has_value());
    EXPECT_TRUE((*full ^ QRegion(0, 0, 40, 30)).isEmpty());
    EXPECT_EQ(full->rectCount(), 30);  // one rectangle per row
}

TEST(BitmapToRegion, ARaggedShapeKeepsExactlyItsOpaquePixels) {
    // A rounded button on magenta, drawn without antialiasing.
    QImage image = Solid(31, 17, kMagenta);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 200));
    p.drawRoundedRect(QRect(0, 0, 31, 17), 6, 6);
    p.setBrush(QColor(255, 16, 255));  // a hole in the tolerated colour
    p.drawRect(12, 6, 5, 4);
    p.end();
    std::optional<QRegion> region = skin::BitmapToRegion(image);
    ASSERT_TRUE(region);
    ExpectRegionCovers(*region, image, [](QRgb px) {
        return !(qRed(px) == 255 && qGreen(px) <= 16 && qBlue(px) == 255);
    });
    EXPECT_FALSE(region->contains(QPoint(0, 0)));
    EXPECT_FALSE(region->contains(QPoint(14, 8)));
}

TEST(BitmapToRegion, MoreThanTwoThousandRunsGiveTheSameRegionAsOneBatch) {
    // Runs of 1 to 3 opaque pixels between gaps of 1 or 2: some 5000 runs, three batches.
    const int w = 120, h = 150;
    QImage image = Solid(w, h, kMagenta);
    std::mt19937 rng(7);
    int runs = 0;
    for (int y = 0; y < h; ++y) {
        int x = static_cast<int>(rng() % 2);
        while (x < w) {
            const int len = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < len && x + i < w; ++i) image.setPixel(x + i, y, qRgb(9, 9, 9));
            ++runs;
            x += len + 1 + static_cast<int>(rng() % 2);
        }
    }
    ASSERT_GT(runs, 2 * 2000);
    // The reference, joined at once from the pixels.
    QRegion reference;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (image.pixel(x, y) != kMagenta) reference += QRect(x, y, 1, 1);
    std::optional<QRegion> region = skin::BitmapToRegion(image);
    ASSERT_TRUE(region);
    ExpectRegionCovers(*region, image, [](QRgb px) { return px != kMagenta; });
    EXPECT_TRUE((*region ^ reference).isEmpty());
}

TEST(ExtractStateBitmap, FramesAreAQuarterOfTheStripWithTheRemainderNeverShown) {
    struct Case {
        int width, height, state, firstColumn, frameWidth;
    } cases[] = {
        {101, 5, 1, 0, 25},  {101, 5, 2, 25, 25}, {101, 5, 3, 50, 25}, {101, 5, 4, 75, 25},
        {200, 30, 3, 100, 50}, {200, 30, 4, 150, 50}, {8, 2, 2, 2, 2},
    };
    for (const auto& c : cases) {
        QImage strip = Numbered(c.width, c.height);
        CBitmapEx frame;
        EXPECT_EQ(skin::ExtractStateBitmap(strip, frame, c.state), 1);
        ASSERT_EQ(frame.Image().size(), QSize(c.frameWidth, c.height)) << c.width;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.frameWidth; ++x)
                ASSERT_EQ(frame.Image().pixel(x, y), strip.pixel(c.firstColumn + x, y))
                    << c.width << " state " << c.state << " at " << x << "," << y;
    }
    // The last column of a 101-pixel strip appears in no frame.
    QImage strip = Numbered(101, 1);
    for (int state = 1; state <= 4; ++state) {
        CBitmapEx frame;
        skin::ExtractStateBitmap(strip, frame, state);
        for (int x = 0; x < frame.Image().width(); ++x)
            EXPECT_NE(frame.Image().pixel(x, 0), strip.pixel(100, 0));
    }
}

// Source column of target column x in the nine-part stretch: before the cut as it is, then the
// cut column repeated across the band, then the rest shifted by the extra size.
int NineSource(int x, int cut, int extra) {
    if (x < cut) return x;
    if (x < cut + extra) return cut;
    return x - extra;
}

TEST(BuildNinePartBitmap, ReproducesTheSourceAtItsOwnSize) {
    struct Case {
        int w, h, cx, cy;
    } cases[] = {{20, 15, 1, 1}, {20, 15, 5, 7}, {20, 15, 19, 14}, {653, 450, 610, 200}};
    for (const auto& c : cases) {
        QImage source = Random(c.w, c.h, static_cast<unsigned>(c.w * 31 + c.cx));
        CBitmapEx target;
        EXPECT_EQ(skin::BuildNinePartBitmap(c.cx, c.cy, source, target, Rect{0, 0, c.w, c.h}), 1);
        EXPECT_EQ(target.Image(), source) << c.w << "x" << c.h << " split " << c.cx << "," << c.cy;
    }
}

TEST(BuildNinePartBitmap, BandsRepeatTheCutColumnAndRow) {
    struct Case {
        int sw, sh, W, H, cx, cy;
    } cases[] = {
        {12, 9, 22, 9, 1, 1},    // 10 pixels wider, split x 1
        {12, 9, 12, 19, 1, 1},   // 10 pixels taller
        {12, 9, 30, 25, 3, 4},
        {8, 6, 9, 7, 7, 5},      // cut at the last column and row
    };
    for (const auto& c : cases) {
        QImage source = Random(c.sw, c.sh, static_cast<unsigned>(c.W + c.H));
        CBitmapEx target;
        skin::BuildNinePartBitmap(c.cx, c.cy, source, target, Rect{5, 5, 5 + c.W, 5 + c.H});
        ASSERT_EQ(target.Image().size(), QSize(c.W, c.H));
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x)
                ASSERT_EQ(target.Image().pixel(x, y),
                          source.pixel(NineSource(x, c.cx, c.W - c.sw),
                                       NineSource(y, c.cy, c.H - c.sh)))
                    << "case " << c.W << "x" << c.H << " at " << x << "," << y;
    }
    // The rule in words: 10 wider with split x 1 shows source column 1 in target columns 1 to 11.
    QImage source = Numbered(12, 3);
    CBitmapEx target;
    skin::BuildNinePartBitmap(1, 1, source, target, Rect{0, 0, 22, 3});
    for (int x = 1; x <= 11; ++x) EXPECT_EQ(target.Image().pixel(x, 2), source.pixel(1, 2)) << x;
    EXPECT_EQ(target.Image().pixel(12, 2), source.pixel(2, 2));
    EXPECT_EQ(target.Image().pixel(21, 2), source.pixel(11, 2));
}

TEST(DrawSkinBitmap, PaintsTheNinePartPictureAtTheRectangle) {
    QImage source = Random(10, 8, 3);
    QImage canvas = Solid(40, 30, qRgb(1, 1, 1));
    EXPECT_EQ(skin::DrawSkinBitmap(source, canvas, 2, 2, Rect{4, 6, 24, 20}), 1);
    CBitmapEx expected;
    skin::BuildNinePartBitmap(2, 2, source, expected, Rect{0, 0, 20, 14});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 4 && x < 24 && y >= 6 && y < 20;
            ASSERT_EQ(canvas.pixel(x, y),
                      inside ? expected.Image().pixel(x - 4, y - 6) : qRgb(1, 1, 1))
                << x << "," << y;
        }
}

TEST(DrawTransparentBitmap, LeavesOutOnlyExactMagenta) {
    QImage bitmap(3, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 255));
    bitmap.setPixel(1, 0, qRgb(255, 16, 255));
    bitmap.setPixel(2, 0, qRgb(20, 40, 60));
    QImage canvas = Solid(6, 2, qRgb(7, 7, 7));
    skin::DrawTransparentBitmap(canvas, bitmap, 0, 0, 6, 2);  // stretched twice as wide and high
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(canvas.pixel(0, y), qRgb(7, 7, 7));
        EXPECT_EQ(canvas.pixel(1, y), qRgb(7, 7, 7));
        EXPECT_EQ(canvas.pixel(2, y), qRgb(255, 16, 255));
        EXPECT_EQ(canvas.pixel(3, y), qRgb(255, 16, 255));
        EXPECT_EQ(canvas.pixel(5, y), qRgb(20, 40, 60));
    }
}

TEST(BitmapCopies, DrawBitmapCopiesUnstretchedAndStretchNeedsADestination) {
    QImage source = Numbered(6, 4);
    QImage canvas = Solid(10, 10, qRgb(0, 0, 0));
    EXPECT_EQ(skin::DrawBitmap(Rect{2, 3, 6, 5}, source, canvas), 1);
    EXPECT_EQ(canvas.pixel(2, 3), source.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(5, 4), source.pixel(3, 1));
    EXPECT_EQ(canvas.pixel(6, 4), qRgb(0, 0, 0));

    Rect src{0, 0, 2, 2};
    EXPECT_EQ(skin::StretchBitmap(&src, nullptr, source, canvas), 0);
    Rect dst{0, 0, 4, 4};
    EXPECT_EQ(skin::StretchBitmap(&src, &dst, source, canvas), 1);
    EXPECT_EQ(canvas.pixel(3, 3), source.pixel(1, 1));
    EXPECT_EQ(canvas.pixel(1, 2), source.pixel(0, 1));

    Rect r = skin::GetBitmapRect(source);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 6);
    EXPECT_EQ(r.bottom, 4);
}

TEST(LoadImageFile, LoadsByTheTypeTheNameGives) {
    testsupport::TempDir dir;
    QImage picture = Random(9, 7, 11);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("skin.bmp")), "BMP"));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("skin.png")), "PNG"));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("photo.Jpeg")), "JPG"));
    QDir().mkpath(QString::fromStdString(dir.File("skins.bmp")));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("skins.bmp/a.jpg")), "JPG"));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("really_png.bmp")), "PNG"));

    QImage bmp = skin::LoadImageFile(dir.File("skin.bmp"));
    ASSERT_FALSE(bmp.isNull());
    EXPECT_EQ(bmp.convertToFormat(QImage::Format_RGB32), picture);

    QImage jpeg = skin::LoadImageFile(dir.File("photo.Jpeg"));
    EXPECT_EQ(jpeg.size(), QSize(9, 7));

    EXPECT_TRUE(skin::LoadImageFile(dir.File("skin.png")).isNull());          // type 4
    EXPECT_TRUE(skin::LoadImageFile(dir.File("skins.bmp/a.jpg")).isNull());   // read as BMP
    EXPECT_TRUE(skin::LoadImageFile(dir.File("really_png.bmp")).isNull());    // not a BMP
    EXPECT_TRUE(skin::LoadImageFile(dir.File("missing.bmp")).isNull());
    EXPECT_TRUE(skin::LoadImageFile(dir.File("missing.gif")).isNull());
}

TEST(PictureToBitmap, RendersOntoBlackAtThePictureSize) {
    QImage picture(4, 3, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(1, 1, qRgba(200, 100, 50, 255));
    QImage bitmap = skin::PictureToBitmap(picture);
    ASSERT_EQ(bitmap.size(), QSize(4, 3));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.pixel(1, 1), qRgb(200, 100, 50));
    EXPECT_TRUE(skin::PictureToBitmap(QImage()).isNull());
}

}  // namespace
