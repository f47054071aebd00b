// The cursor highlight dialog: its colour buttons, the size and the halo preview.
#include "page_fixture.h"
#include "platform/ui/color_picker_button.h"
#include "platform/ui/pixels.h"
#include "video_settings/video_setting.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace {

using platform::ColorPickerButton;
using video_settings::CVideoSetting;

constexpr QRgb kGrey = 0xFFC0C0C0;

class HighlightDialogTest : public PageTest {
protected:
    void Init(std::int32_t size = 64) {
        dialog_.cursorColor = 0x80FFFF;
        dialog_.leftColor = 0x0000FF;
        dialog_.rightColor = 0xFF0000;
        dialog_.size = size;
        dialog_.showHalo = 1;
        dialog_.OnInitDialog();
    }
    QString SizeText() {
        return qobject_cast<QLabel*>(platform::GetDlgItem(&dialog_, CVideoSetting::kSizeNumberId))->text();
    }
    CVideoSetting dialog_;
};

TEST_F(HighlightDialogTest, AutomaticGivesBackTheColourTheDialogStartedWith) {
    Init();
    struct Case {
        int id;
        std::uint32_t CVideoSetting::*field;
        std::uint32_t start;
    } cases[] = {{CVideoSetting::kCursorColorId, &CVideoSetting::cursorColor, 0x80FFFF},
                 {CVideoSetting::kLeftColorId, &CVideoSetting::leftColor, 0x0000FF},
                 {CVideoSetting::kRightColorId, &CVideoSetting::rightColor, 0xFF0000}};
    for (const Case& c : cases) {
        ColorPickerButton* button = dialog_.ColorButton(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_EQ(button->ColumnsNumber(), 10);
        EXPECT_EQ(button->GetColor(), ColorPickerButton::kAutomatic);
        EXPECT_EQ(button->GetAutomaticColor(), c.start);

        button->ChoosePaletteColor(3);
        EXPECT_EQ(dialog_.*c.field, ColorPickerButton::PaletteColors()[3]) << c.id;
        button->SetColorDialog([](const QColor&, QWidget*) { return QColor(1, 2, 3); });
        button->ChooseOther();
        EXPECT_EQ(dialog_.*c.field, 0x030201u) << c.id;
        button->ChooseAutomatic();
        EXPECT_EQ(dialog_.*c.field, c.start) << c.id;
        // A cancelled colour dialog keeps the choice.
        button->SetColorDialog([](const QColor&, QWidget*) { return std::optional<QColor>(); });
        button->ChooseOther();
        EXPECT_EQ(dialog_.*c.field, c.start) << c.id;
    }
}

TEST_F(HighlightDialogTest, ThePaletteOpensInTenColumnsWithAutomaticAndOtherAndClosesOnAChoice) {
    Init();
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
    ColorPickerButton* button = dialog_.ColorButton(CVideoSetting::kCursorColorId);
    QTest::mouseClick(button, Qt::LeftButton);
    QFrame* palette = button->Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_NE(palette->findChild<QToolButton*>("automatic"), nullptr);
    EXPECT_NE(palette->findChild<QToolButton*>("other"), nullptr);
    auto* grid = palette->findChild<QGridLayout*>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnCount(), 10);
    EXPECT_EQ(grid->count(), static_cast<int>(ColorPickerButton::PaletteColors().size()));

    auto* cell = qobject_cast<QToolButton*>(grid->itemAt(12)->widget());
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->Palette() == nullptr; }));
    EXPECT_EQ(dialog_.cursorColor, ColorPickerButton::PaletteColors()[12]);
}

TEST_F(HighlightDialogTest, TheHaloIsACircleOfTheSizeCentredInTheSquare) {
    struct Case {
        int size, first, last;
    } cases[] = {{64, 8, 72}, {80, 0, 80}, {1, 39, 40}, {13, 33, 46}};
    const QRgb colour = 0xFF123456;
    for (const Case& c : cases) {
        EXPECT_EQ(CVideoSetting::HaloBounds(c.size), std::make_pair(c.first, c.last)) << c.size;
        const QImage square = CVideoSetting::DrawPreview(c.size, 0x563412, true);
        ASSERT_EQ(square.size(), QSize(80, 80));
        const int mid = (c.first + c.last) / 2;
        // The circle reaches the bounding square on all four sides and goes no further.
        EXPECT_EQ(square.pixel(c.first, mid), colour) << c.size;
        EXPECT_EQ(square.pixel(c.last - 1, mid), colour) << c.size;
        EXPECT_EQ(square.pixel(mid, c.first), colour) << c.size;
        EXPECT_EQ(square.pixel(mid, c.last - 1), colour) << c.size;
        if (c.first > 0) {
            EXPECT_EQ(square.pixel(c.first - 1, mid), kGrey) << c.size;
            EXPECT_EQ(square.pixel(c.last, mid), kGrey) << c.size;
        }
        EXPECT_EQ(square.pixel(0, 0), kGrey) << "corners stay grey";
    }
    const QImage noHalo = CVideoSetting::DrawPreview(64, 0x563412, false);
    EXPECT_EQ(noHalo.pixel(40, 40), kGrey);
}

TEST_F(HighlightDialogTest, ThePreviewIsPaintedUnderTheSizeAndRedrawnWhenTheSizeMoves) {
    Init(20);
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
    const QPoint at = CVideoSetting::kPreviewPosition;
    const QRgb halo = platform::ColorRefToRgb(0x80FFFF) | 0xFF000000;
    QImage shot = dialog_.grab().toImage();
    EXPECT_EQ(shot.pixel(at + QPoint(40, 40)), halo);
    EXPECT_EQ(shot.pixel(at + QPoint(15, 40)), kGrey);
    dialog_.SizeTrackbar()->setValue(60);
    EXPECT_EQ(dialog_.size, 60);
    EXPECT_EQ(SizeText(), "60");
    shot = dialog_.grab().toImage();
    EXPECT_EQ(shot.pixel(at + QPoint(15, 40)), halo);
    // The preview lies inside the dialog, clear of the buttons.
    EXPECT_TRUE(dialog_.rect().contains(QRect(at, QSize(80, 80))));
    EXPECT_FALSE(QRect(at, QSize(80, 80)).intersects(platform::GetDlgItem(&dialog_, 1)->geometry()));
}

TEST_F(HighlightDialogTest, ASizeBeyondTheTrackbarIsKeptByOkUnlessTheTrackbarMoves) {
    Init(120);
    EXPECT_EQ(dialog_.SizeTrackbar()->minimum(), 1);
    EXPECT_EQ(dialog_.SizeTrackbar()->maximum(), 80);
    EXPECT_EQ(dialog_.SizeTrackbar()->value(), 80);
    EXPECT_EQ(SizeText(), "120");
    dialog_.OnOK();
    EXPECT_EQ(dialog_.size, 120);
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);

    Init(120);
    dialog_.SizeTrackbar()->setValue(50);
    dialog_.OnOK();
    EXPECT_EQ(dialog_.size, 50);
}

}  // namespace
