// The Video page: what each control stores, and what it shows at start.
#include "page_fixture.h"
#include "settings/highlight_colours.h"
#include "video_settings/video_dlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <memory>

namespace {

using video_settings::CVideoDlg;
using video_settings::CVideoSetting;

constexpr const char* kTemplateTip = "This type will be more fast than other type!";

class VideoPageTest : public PageTest {
protected:
    CVideoDlg& Make() {
        page_ = std::make_unique<CVideoDlg>(settings_, &main_);
        return *page_;
    }
    QComboBox* List(int id) { return qobject_cast<QComboBox*>(page_->Control(id)); }
    QString Text(int id) { return qobject_cast<QLabel*>(page_->Control(id))->text(); }
    QAbstractButton* Box(int id) { return qobject_cast<QAbstractButton*>(page_->Control(id)); }

    std::unique_ptr<CVideoDlg> page_;
};

TEST_F(VideoPageTest, EachListPositionStoresItsFormatCodeAndUpdatesTypeLineAndTip) {
    struct Case {
        int position;
        std::int32_t code;
        const char* label;
        const char* tipKey;
    } cases[] = {
        {0, 100, "AVI - Audio Video Interleaved", "AVIFILETIPS"},
        {1, 104, "WMV - Windows Media Video", "OTHERFILETIPS"},
        {2, 102, "MP4 - MPEG-4 Video", "OTHERFILETIPS"},
        {3, 103, "MPEG-1 Movie", "OTHERFILETIPS"},
        {4, 105, "MPEG-2 Movie", "OTHERFILETIPS"},
        {5, 101, "FLV - Flash Video Format", "OTHERFILETIPS"},
        {6, 106, "SWF - SWF Video Format", "OTHERFILETIPS"},
        {0, 100, "AVI - Audio Video Interleaved", "AVIFILETIPS"},  // back from another format
    };
    Make();
    for (const Case& c : cases) {
        List(CVideoDlg::kFormatList)->setCurrentIndex(c.position);
        page_->OnFormatChanged(c.position);
        EXPECT_EQ(settings_.VideoType, c.code) << c.position;
        EXPECT_EQ(Line(resources::IDC_TYPE_LINE), QString(GetText("Video", "VideoType")) + c.label);
        EXPECT_EQ(Text(CVideoDlg::kTip), GetText("Video", c.tipKey)) << c.position;
    }
    page_->OnFormatChanged(7);  // outside the list: nothing changes
    EXPECT_EQ(settings_.VideoType, 100);
}

TEST_F(VideoPageTest, StoredCodeOpensOnItsPositionAndAnUnknownCodeOnNoneWithTheTemplateTip) {
    struct Case {
        std::int32_t code;
        int position;
        const char* tip;  // null: the template's
    } cases[] = {
        {104, 1, "OTHERFILETIPS"}, {101, 5, "OTHERFILETIPS"}, {100, 0, "AVIFILETIPS"},
        {7, -1, nullptr},          {0, -1, nullptr},          {107, -1, nullptr},
    };
    for (const Case& c : cases) {
        settings_.VideoType = c.code;
        Make();
        EXPECT_EQ(List(CVideoDlg::kFormatList)->currentIndex(), c.position) << c.code;
        EXPECT_EQ(List(CVideoDlg::kFormatList)->count(), 7);
        EXPECT_EQ(Text(CVideoDlg::kTip), c.tip ? GetText("Video", c.tip) : kTemplateTip) << c.code;
        EXPECT_EQ(settings_.VideoType, c.code) << "opening the page changed the code";
    }
}

TEST_F(VideoPageTest, AFrameRateOutsideTheListShowsNoSelectionAndStaysUntilOneIsPicked) {
    settings_.FrameRate = 12;
    Make();
    QComboBox* rates = List(CVideoDlg::kFrameRateList);
    EXPECT_EQ(rates->currentIndex(), -1);
    EXPECT_EQ(settings_.FrameRate, 12);
    const std::int32_t expected[] = {10, 15, 20, 25, 30};
    for (int position = 0; position < 5; ++position) {
        EXPECT_EQ(rates->itemText(position), QStringLiteral("%1 fps").arg(expected[position]));
        page_->OnFrameRateChanged(position);
        EXPECT_EQ(settings_.FrameRate, expected[position]);
    }
    settings_.FrameRate = 25;
    Make();
    EXPECT_EQ(List(CVideoDlg::kFrameRateList)->currentIndex(), 3);
}

TEST_F(VideoPageTest, ClearingRecordCursorDisablesItsDependantsButKeepsTheirValues) {
    settings_.HighLightMouse = 1;
    settings_.ClickHighMouse = 1;
    Make();
    const int dependants[] = {CVideoDlg::kHighLightMouse, CVideoDlg::kClickHighMouse,
                              CVideoDlg::kSettingButton};
    for (int id : dependants) EXPECT_TRUE(page_->Control(id)->isEnabled()) << id;

    Box(CVideoDlg::kRecordMouse)->click();
    EXPECT_EQ(settings_.RecordMouse, 0);
    for (int id : dependants) EXPECT_FALSE(page_->Control(id)->isEnabled()) << id;
    EXPECT_EQ(settings_.HighLightMouse, 1);
    EXPECT_EQ(settings_.ClickHighMouse, 1);
    EXPECT_TRUE(Box(CVideoDlg::kHighLightMouse)->isChecked());
    EXPECT_EQ(Line(resources::IDC_CURSOR_LINE), GetText("StatusInfo", "NotRecordMouse"));

    Box(CVideoDlg::kRecordMouse)->click();
    EXPECT_EQ(settings_.RecordMouse, 1);
    for (int id : dependants) EXPECT_TRUE(page_->Control(id)->isEnabled()) << id;
    EXPECT_EQ(Line(resources::IDC_CURSOR_LINE), GetText("StatusInfo", "RecordMouse"));

    // The highlight boxes store their own flags.
    Box(CVideoDlg::kHighLightMouse)->click();
    Box(CVideoDlg::kClickHighMouse)->click();
    EXPECT_EQ(settings_.HighLightMouse, 0);
    EXPECT_EQ(settings_.ClickHighMouse, 0);

    // Cleared in Config.ini: disabled from the start.
    settings_.RecordMouse = 0;
    Make();
    for (int id : dependants) EXPECT_FALSE(page_->Control(id)->isEnabled()) << id;
}

TEST_F(VideoPageTest, BlackHighlightColoursTakeTheirDefaultsAtInitialisation) {
    struct Case {
        std::int32_t halo, left, right;
        std::int32_t wantHalo, wantLeft, wantRight;
    } cases[] = {
        {0, 0, 0, 0x80FFFF, 0x0000FF, 0xFF0000},
        {0x123456, 0, 0x00FF00, 0x123456, 0x0000FF, 0x00FF00},
        {0, 0x010101, 0, 0x80FFFF, 0x010101, 0xFF0000},
    };
    for (const Case& c : cases) {
        settings_.HighLightMouseCOLOR = c.halo;
        settings_.ClickHighMouseLeftCOLOR = c.left;
        settings_.ClickHighMouseRightCOLOR = c.right;
        Make();
        EXPECT_EQ(settings_.HighLightMouseCOLOR, c.wantHalo);
        EXPECT_EQ(settings_.ClickHighMouseLeftCOLOR, c.wantLeft);
        EXPECT_EQ(settings_.ClickHighMouseRightCOLOR, c.wantRight);
    }
}

TEST_F(VideoPageTest, QualityShowsItsNumberAndFollowsTheTrackbar) {
    settings_.VideoQuanlity = 42;
    Make();
    auto* bar = qobject_cast<QSlider*>(page_->Control(CVideoDlg::kQualityTrackbar));
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 42);
    EXPECT_EQ(Text(CVideoDlg::kQualityNumber), "42");
    bar->setValue(90);
    EXPECT_EQ(settings_.VideoQuanlity, 90);
    EXPECT_EQ(Text(CVideoDlg::kQualityNumber), "90");
}

TEST_F(VideoPageTest, OnlyOkOfTheHighlightDialogTakesItsFourValuesBack) {
    settings_.HighLightMouseCOLOR = 0x111111;
    settings_.ClickHighMouseLeftCOLOR = 0x222222;
    settings_.ClickHighMouseRightCOLOR = 0x333333;
    settings_.HighLightSize = 30;
    Make();
    for (int result : {2, 1}) {
        int runs = 0;
        page_->SetDialogRunner([&](CVideoSetting& dialog) {
            ++runs;
            // Each run starts from the settings, with the halo shown.
            EXPECT_EQ(dialog.cursorColor, 0x111111u);
            EXPECT_EQ(dialog.leftColor, 0x222222u);
            EXPECT_EQ(dialog.rightColor, 0x333333u);
            EXPECT_EQ(dialog.size, 30);
            EXPECT_EQ(dialog.showHalo, 1);
            dialog.cursorColor = 0xAAAAAA;
            dialog.leftColor = 0xBBBBBB;
            dialog.rightColor = 0xCCCCCC;
            dialog.size = 70;
            return result;
        });
        page_->OnSetting();
        EXPECT_EQ(runs, 1);
        if (result == 2) {
            EXPECT_EQ(settings_.HighLightMouseCOLOR, 0x111111);
            EXPECT_EQ(settings_.ClickHighMouseLeftCOLOR, 0x222222);
            EXPECT_EQ(settings_.ClickHighMouseRightCOLOR, 0x333333);
            EXPECT_EQ(settings_.HighLightSize, 30);
        }
    }
    EXPECT_EQ(settings_.HighLightMouseCOLOR, 0xAAAAAA);
    EXPECT_EQ(settings_.ClickHighMouseLeftCOLOR, 0xBBBBBB);
    EXPECT_EQ(settings_.ClickHighMouseRightCOLOR, 0xCCCCCC);
    EXPECT_EQ(settings_.HighLightSize, 70);
}

}  // namespace
