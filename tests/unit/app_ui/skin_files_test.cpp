// The generated skin bitmaps fit the places the windows give them.
#include "app/main_skin_layout.h"
#include "skin/bitmap_utils.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kSkins = RZ_BIN_DIR "/skins/";

TEST(SkinFiles, ButtonStripsHoldFourShapedFramesOfTheButtonsSize) {
    struct Strip {
        std::string file;
        int width, height;
    };
    std::vector<Strip> strips;
    for (const app::SkinButtonPlace& place : app::kSkinButtons)
        strips.push_back({std::string(place.file).substr(6), place.width, place.height});
    for (const char* status : {"showstatus_pause.bmp", "showstatus_start.bmp", "showstatus_stop.bmp"})
        strips.push_back({status, 24, 24});  // the status window's 16 x 15 unit buttons
    for (const Strip& s : strips) {
        QImage strip = skin::LoadImageFile(kSkins + s.file);
        ASSERT_FALSE(strip.isNull()) << s.file;
        EXPECT_EQ(strip.size(), QSize(4 * s.width, s.height)) << s.file;
        for (int state = 1; state <= 4; ++state) {
            skin::CBitmapEx frame;
            skin::ExtractStateBitmap(strip, frame, state);
            std::optional<QRegion> shape = skin::BitmapToRegion(frame.Image());
            ASSERT_TRUE(shape) << s.file;
            // Rounded: the corners are cut out, the middle is solid.
            EXPECT_FALSE(shape->contains(QPoint(0, 0))) << s.file << " frame " << state;
            EXPECT_FALSE(shape->contains(QPoint(s.width - 1, s.height - 1))) << s.file;
            EXPECT_TRUE(shape->contains(QPoint(s.width / 2, s.height / 2))) << s.file;
        }
        // The four states look different from one another.
        skin::CBitmapEx normal, hover, pressed, disabled;
        skin::ExtractStateBitmap(strip, normal, 1);
        skin::ExtractStateBitmap(strip, hover, 2);
        skin::ExtractStateBitmap(strip, pressed, 3);
        skin::ExtractStateBitmap(strip, disabled, 4);
        EXPECT_NE(normal.Image(), hover.Image()) << s.file;
        EXPECT_NE(hover.Image(), pressed.Image()) << s.file;
        EXPECT_NE(normal.Image(), disabled.Image()) << s.file;
    }
}

TEST(SkinFiles, BackgroundsFitTheirWindowsAndSplitPoints) {
    struct Background {
        const char* file;
        int minWidth, minHeight;  // the smallest window they are drawn into
        int splitX, splitY;
    } backgrounds[] = {
        {"main.bmp", 653, 450, app::kMainSplitX, app::kMainSplitY},
        {"childpage.bmp", 531, 219, 1, 1},  // the smallest page, 354 x 135 units
        {"ShowStatus.bmp", 120, 25, 1, 1},
    };
    for (const auto& b : backgrounds) {
        QImage image = skin::LoadImageFile(kSkins + b.file);
        ASSERT_FALSE(image.isNull()) << b.file;
        // Drawn only into windows at least as large, with the split inside the picture.
        EXPECT_LE(image.width(), b.minWidth) << b.file;
        EXPECT_LE(image.height(), b.minHeight) << b.file;
        EXPECT_LT(b.splitX, image.width()) << b.file;
        EXPECT_LT(b.splitY, image.height()) << b.file;
    }
    // The pages' background is the colour their controls are painted on.
    QImage page = skin::LoadImageFile(kSkins + "childpage.bmp");
    EXPECT_EQ(page.pixel(page.width() / 2, page.height() / 2) & 0xFFFFFF, 0xF0F0F0u);
}

}  // namespace
