#include "app/main_skin_layout.h"
#include "app/status_lines.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/menu_template.h"
#include "resources/cursors.h"
#include "resources/dialog_templates.h"
#include "resources/menus.h"
#include "resources/resource_ids.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

TEST(DialogUnits, RoundHalfAwayFromZeroWithTheFixedBaseUnits) {
    struct Case {
        int units, x, y;
    } cases[] = {{0, 0, 0},   {1, 2, 2},     {2, 3, 3},     {3, 5, 5},       {4, 6, 7},
                 {8, 12, 13}, {-3, -5, -5}};
    for (const auto& c : cases) {
        EXPECT_EQ(platform::DialogUnitsToPixelsX(c.units), c.x) << c.units;
        EXPECT_EQ(platform::DialogUnitsToPixelsY(c.units), c.y) << c.units;
    }
    EXPECT_EQ(platform::DialogUnitsToPixelsX(435), 653);
    EXPECT_EQ(platform::DialogUnitsToPixelsY(277), 450);
}

TEST(DialogTemplates, EveryTemplateIsConsistentAndBuildsWithItsIds) {
    const std::set<int> expected{100, 102, 129, 130, 131, 132, 133, 136, 138, 147, 149, 152};
    std::set<int> found;
    for (const platform::DialogTemplate* t : resources::AllDialogTemplates()) {
        found.insert(t->id);
        EXPECT_EQ(resources::FindDialogTemplate(t->id), t);
        std::set<int> ids;
        for (const platform::ControlTemplate& c : t->controls) {
            if (c.id != -1) {
                EXPECT_TRUE(ids.insert(c.id).second) << t->id << " repeats " << c.id;
            }
            EXPECT_GE(c.x, 0) << t->id << "/" << c.id;
            EXPECT_GE(c.y, 0) << t->id << "/" << c.id;
            EXPECT_LE(c.x + c.w, t->width) << t->id << "/" << c.id;
            if (c.kind != platform::ControlKind::DropList) {
                EXPECT_LE(c.y + c.h, t->height) << t->id << "/" << c.id;
            }
        }
        QWidget dialog;
        EXPECT_EQ(platform::BuildDialog(*t, &dialog), static_cast<int>(t->controls.size()));
        for (int id : ids) EXPECT_NE(platform::GetDlgItem(&dialog, id), nullptr) << t->id << "/" << id;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(resources::FindDialogTemplate(101), nullptr);
}

TEST(DialogBuilder, MainTemplatePlacesControlsInPixels) {
    QWidget dialog;
    platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_MAIN), &dialog);
    EXPECT_EQ(dialog.size(), QSize(653, 450));
    struct Case {
        int id;
        QRect pixels;
    } cases[] = {
        {1006, QRect(54, 125, 531, 229)},  // the page area
        {1039, QRect(30, 377, 138, 13)},
        {1052, QRect(18, 68, 98, 36)},
    };
    for (const auto& c : cases) {
        QWidget* w = platform::GetDlgItem(&dialog, c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_EQ(w->geometry(), c.pixels) << c.id;
    }
    EXPECT_FALSE(platform::GetDlgItem(&dialog, 1006)->isVisibleTo(&dialog));
    auto* line = qobject_cast<QLabel*>(platform::GetDlgItem(&dialog, 1039));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), "Information size");
    platform::SetDlgItemText(&dialog, 1039, "changed");
    EXPECT_EQ(line->text(), "changed");
    platform::SetDlgItemText(&dialog, 4242, "nothing");  // no such control: no effect
    EXPECT_EQ(platform::GetDlgItem(&dialog, 4242), nullptr);
}

TEST(DialogBuilder, AFactoryCanSupplyItsOwnControls) {
    QWidget dialog;
    int made = 0;
    platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_STATUS), &dialog,
                          [&](const platform::ControlTemplate& c, QWidget* parent) -> QWidget* {
                              if (c.id != 1003) return nullptr;
                              ++made;
                              auto* w = new QWidget(parent);
                              w->setObjectName("own");
                              return w;
                          });
    EXPECT_EQ(made, 1);
    EXPECT_EQ(platform::GetDlgItem(&dialog, 1003)->objectName(), "own");
    EXPECT_EQ(platform::GetDlgItem(&dialog, 1003)->geometry(), QRect(62, 0, 24, 24));
}

TEST(Menus, TrayAndHelpMenusCarryTheirCommands) {
    struct Case {
        int menu;
        std::vector<int> commands;  // 0 = separator
    } cases[] = {
        {resources::IDR_TRAY_MENU, {32771, 32772, 32773, 0, 32774}},
        {resources::IDR_HELP_MENU, {32783, 32791, 32782, 32778, 0, 32784}},
    };
    for (const auto& c : cases) {
        const platform::MenuTemplate* t = resources::FindMenuTemplate(c.menu);
        ASSERT_NE(t, nullptr);
        std::unique_ptr<QMenu> menu(platform::BuildMenu(*t, nullptr));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(c.commands.size()));
        for (std::size_t i = 0; i < c.commands.size(); ++i) {
            EXPECT_EQ(actions[static_cast<qsizetype>(i)]->isSeparator(), c.commands[i] == 0);
            EXPECT_EQ(platform::CommandOf(actions[static_cast<qsizetype>(i)]), c.commands[i]);
        }
    }
    std::unique_ptr<QMenu> help(
        platform::BuildMenu(*resources::FindMenuTemplate(resources::IDR_HELP_MENU), nullptr));
    ASSERT_NE(platform::FindMenuItem(help.get(), 32778), nullptr);
    EXPECT_EQ(platform::FindMenuItem(help.get(), 32778)->text(), "Open Log File");
    EXPECT_EQ(platform::FindMenuItem(help.get(), 1), nullptr);
    EXPECT_EQ(resources::FindMenuTemplate(140), nullptr);
}

TEST(Cursors, OverlayCursorHasItsHotSpot) {
    QCursor overlay = resources::LoadCursorResource(resources::kIdcOverlay);
    EXPECT_EQ(overlay.hotSpot(), QPoint(5, 12));
    EXPECT_FALSE(overlay.pixmap().isNull());
    EXPECT_EQ(resources::LoadCursorResource(resources::kIdcHand).shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(resources::LoadIconResource(resources::IDR_MAINFRAME).isNull());
}

TEST(StatusLines, FormatLabelsCoverTheSevenCodesOnly) {
    struct Case {
        int code;
        const char* label;
    } cases[] = {
        {99, nullptr},
        {100, "AVI - Audio Video Interleaved"},
        {101, "FLV - Flash Video Format"},
        {102, "MP4 - MPEG-4 Video"},
        {103, "MPEG-1 Movie"},
        {104, "WMV - Windows Media Video"},
        {105, "MPEG-2 Movie"},
        {106, "SWF - SWF Video Format"},
        {107, nullptr},
    };
    for (const auto& c : cases) {
        const char* label = app::VideoFormatLabel(c.code);
        if (!c.label) {
            EXPECT_EQ(label, nullptr) << c.code;
            std::string text = "unchanged";
            EXPECT_FALSE(app::VideoTypeLineText(c.code, text));
            EXPECT_EQ(text, "unchanged");
        } else {
            ASSERT_NE(label, nullptr) << c.code;
            EXPECT_STREQ(label, c.label);
        }
    }
}

TEST(SkinLayout, ButtonsMeasureFromTheRightAndBottomEdges) {
    struct Case {
        int id, x, y;
    } cases[] = {{app::IDC_MINI, 604, 8},    {app::IDC_CLOSE, 627, 8},
                 {app::IDC_OPTION, 538, 39}, {app::IDC_START, 393, 382},
                 {app::IDC_STOP, 553, 382},  {app::IDC_TAB_OUTPUT, 327, 71}};
    for (const auto& c : cases) {
        const app::SkinButtonPlace* place = nullptr;
        for (const auto& p : app::kSkinButtons)
            if (p.id == c.id) place = &p;
        ASSERT_NE(place, nullptr);
        platform::Rect r = app::SkinButtonRect(*place, 653, 450);
        EXPECT_EQ(r.left, c.x) << c.id;
        EXPECT_EQ(r.top, c.y) << c.id;
        EXPECT_EQ(r.Width(), place->width);
    }
}

}  // namespace
