// The Select Area page: its controls, the integer exchange, the clamping and the two modes.
#include "area_fixture.h"
#include "platform/ui/up_down_ctrl.h"

#include <QAbstractButton>
#include <QGroupBox>

namespace {

using namespace areatest;
using namespace recording;
using area::Box;

std::vector<QString> Texts(std::initializer_list<const char*> values) {
    std::vector<QString> out;
    for (const char* v : values) out.push_back(QString::fromUtf8(v));
    return out;
}

TEST_F(AreaPageTest, StartsFromTheSettingsWithCatalogueTextsAndScreenRanges) {
    settings_.FlashingRect = 0;
    MakePage();
    EXPECT_EQ(Boxes(), Texts({"100", "100", "800", "600"}));
    auto button = [&](int id) { return qobject_cast<QAbstractButton*>(Control(id)); };
    EXPECT_EQ(button(kIdSelectWindow)->text(), "Select Window");
    EXPECT_EQ(button(kIdShowSelected)->text(), "Show Selected Area");
    EXPECT_EQ(qobject_cast<QGroupBox*>(Control(area::kIdGroupScreen))->title(), "Screen Area");
    EXPECT_TRUE(button(kIdSelectedRegion)->isChecked());
    EXPECT_FALSE(button(kIdFullScreen)->isChecked());
    EXPECT_FALSE(button(kIdShowFlashing)->isChecked());
    EXPECT_TRUE(button(kIdShowSelected)->isChecked());
    EXPECT_TRUE(Control(kIdEditLeft)->isEnabled());
    struct Spin {
        int id, upper;
    } spins[] = {{area::kIdSpinLeft, 1920}, {area::kIdSpinTop, 1080},
                 {area::kIdSpinWidth, 1920}, {area::kIdSpinHeight, 1080}};
    for (const Spin& s : spins) {
        auto* spin = qobject_cast<platform::UpDownCtrl*>(Control(s.id));
        ASSERT_NE(spin, nullptr) << s.id;
        EXPECT_EQ(spin->Lower(), 0);
        EXPECT_EQ(spin->Upper(), s.upper) << s.id;
    }
    EXPECT_TRUE(flashes_.empty());
}

TEST_F(AreaPageTest, FullScreenModeLeavesOnlyTheTwoChoicesUsable) {
    settings_.RecordMode = 1;
    MakePage();
    for (int id : {kIdEditLeft, kIdEditTop, kIdEditWidth, kIdEditHeight, kIdLabelLeft,
                   kIdLabelHeight, kIdSelectWindow, kIdSelectRegion, kIdShowFlashing,
                   kIdShowSelected, area::kIdSpinLeft, area::kIdSpinHeight})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    EXPECT_TRUE(Control(kIdFullScreen)->isEnabled());
    EXPECT_TRUE(Control(kIdSelectedRegion)->isEnabled());

    // Selected Region: everything usable, the frame flashes during recording again.
    settings_.FlashingRect = 0;
    qobject_cast<QAbstractButton*>(Control(kIdSelectedRegion))->click();
    EXPECT_EQ(settings_.RecordMode, 0);
    EXPECT_EQ(settings_.FlashingRect, 1);
    EXPECT_EQ(flashes_, std::vector<int>{0});
    EXPECT_TRUE(Control(area::kIdSpinWidth)->isEnabled());
    EXPECT_TRUE(Control(kIdShowSelected)->isEnabled());
    EXPECT_EQ(statusLine_->text().toStdString(), GetText("StatusInfo", "SelectMode"));

    qobject_cast<QAbstractButton*>(Control(kIdFullScreen))->click();
    EXPECT_EQ(settings_.RecordMode, 1);
    EXPECT_EQ(flashes_, (std::vector<int>{0, 1}));
    EXPECT_FALSE(Control(kIdEditWidth)->isEnabled());
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(Control(kIdSelectedRegion))->isChecked());
    EXPECT_EQ(statusLine_->text().toStdString(), GetText("StatusInfo", "FullRecordMode"));
}

TEST_F(AreaPageTest, TypedValuesAreClampedToTheScreenAndMoveTheFrame) {
    MakePage();
    struct Case {
        Box box;
        const char* typed;
        std::vector<QString> boxes;
    } cases[] = {
        {Box::Left, "1500", Texts({"1120", "100", "800", "600"})},
        {Box::Width, "-5", Texts({"1120", "100", "800", "600"})},  // 1920 - 1120
        {Box::Left, "300", Texts({"300", "100", "800", "600"})},
        {Box::Width, "-5", Texts({"300", "100", "1620", "600"})},
        {Box::Height, "2000", Texts({"300", "100", "1620", "980"})},
        {Box::Top, "200", Texts({"300", "100", "1620", "980"})},  // 200 + 980 > 1080
    };
    int flashes = 0;
    for (const Case& c : cases) {
        page_->Edit(c.box)->setText(c.typed);
        EXPECT_EQ(Boxes(), c.boxes) << c.typed;
        EXPECT_EQ(flashes_.size(), static_cast<std::size_t>(++flashes)) << c.typed;
    }
    EXPECT_EQ(flashes_.back(), 0);
    EXPECT_EQ(settings_.RecordLeft, 300);
    EXPECT_EQ(settings_.RecordTop, 100);
    EXPECT_EQ(settings_.RecordRight, 1620);
    EXPECT_EQ(settings_.RecordBottom, 980);
}

TEST_F(AreaPageTest, ANonIntegerIsRefusedAndReplacedByTheStoredValue) {
    testsupport::MessageBoxRecorder boxes;
    MakePage();
    for (const char* typed : {"12a", "", "-"}) {
        page_->Edit(Box::Width)->setText(typed);
        EXPECT_EQ(BoxText(Box::Width), "800") << typed;
    }
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Enter an integer.");
    EXPECT_EQ(settings_.RecordRight, 800);
    // A good value still goes through afterwards.
    page_->Edit(Box::Width)->setText("640");
    EXPECT_EQ(settings_.RecordRight, 640);
    EXPECT_EQ(boxes.Boxes().size(), 3u);
}

TEST_F(AreaPageTest, TheFrameFollowsTypingOnlyWhileShowSelectedAreaIsChecked) {
    MakePage();
    auto* show = qobject_cast<QAbstractButton*>(Control(kIdShowSelected));
    show->click();
    EXPECT_EQ(app::ShowSelectedArea.load(), 0);
    EXPECT_EQ(flashes_, std::vector<int>{1});
    page_->Edit(Box::Left)->setText("50");
    EXPECT_EQ(flashes_, std::vector<int>{1});
    EXPECT_EQ(settings_.RecordLeft, 50);
    show->click();
    EXPECT_EQ(app::ShowSelectedArea.load(), 1);
    EXPECT_EQ(flashes_, (std::vector<int>{1, 0}));
}

TEST_F(AreaPageTest, ShowFlashingRectangleSetsTheSettingOnly) {
    MakePage();
    auto* flash = qobject_cast<QAbstractButton*>(Control(kIdShowFlashing));
    flash->click();
    EXPECT_EQ(settings_.FlashingRect, 0);
    flash->click();
    EXPECT_EQ(settings_.FlashingRect, 1);
    EXPECT_TRUE(flashes_.empty());
}

TEST_F(AreaPageTest, UpDownButtonsStepTheirBoxWithinTheScreen) {
    settings_.RecordTop = 1079;
    settings_.RecordBottom = 1;
    MakePage();
    auto* left = qobject_cast<platform::UpDownCtrl*>(Control(area::kIdSpinLeft));
    auto* top = qobject_cast<platform::UpDownCtrl*>(Control(area::kIdSpinTop));
    left->Step(1);
    EXPECT_EQ(BoxText(Box::Left), "101");
    EXPECT_EQ(settings_.RecordLeft, 101);
    top->Step(1);
    top->Step(1);
    EXPECT_EQ(BoxText(Box::Top), "1079");  // clamped: 1080 + height 1 passes the edge
    Key(page_->Edit(Box::Left), Qt::Key_Down);
    EXPECT_EQ(BoxText(Box::Left), "100");
    // Disabled with their box (during a recording the boxes are disabled from outside).
    page_->Edit(Box::Left)->setEnabled(false);
    EXPECT_FALSE(left->isEnabled());
    left->Step(1);
    EXPECT_EQ(BoxText(Box::Left), "100");
}

TEST_F(AreaPageTest, EnterAndEscapeLeaveThePageAlone) {
    MakePage();
    page_->show();
    Key(page_.get(), Qt::Key_Escape);
    Key(page_.get(), Qt::Key_Return);
    EXPECT_TRUE(page_->isVisible());
}

}  // namespace
