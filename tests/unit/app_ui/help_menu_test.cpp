// The Help button's menu: labels from the catalogue except "Open Log File", what each choice
// opens, and the About box.
#include "app/about_dlg.h"
#include "app/help_menu.h"
#include "app/help_pages.h"
#include "app/main_skin_layout.h"
#include "support/main_window_fixture.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/menu_template.h"
#include "platform/ui/popup_menu.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <regex>
#include <vector>

namespace {

using namespace app;

class HelpMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        platform::SetTrackPopupMenuHook([this](QMenu* menu, std::uint32_t flags, QPoint) {
            flags_ = flags;
            menus_.push_back(menu);
            items_.clear();
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    items_.emplace_back(platform::CommandOf(a), a->text().toStdString());
            return choice_;
        });
        CRiviveZuzuveDlg& dlg = Make();
        dlg.Help()->SetOpener([this](const std::string& target) {
            opened_.push_back(target);
            return true;
        });
        dlg.Help()->SetAboutRunner([this](QWidget* owner) { aboutOwners_.push_back(owner); });
    }
    void TearDown() override {
        platform::SetTrackPopupMenuHook({});
        MainWindowTest::TearDown();
    }

    int choice_ = 0;
    std::uint32_t flags_ = 0;
    std::vector<QPointer<QMenu>> menus_;
    std::vector<std::pair<int, std::string>> items_;
    std::vector<std::string> opened_;
    std::vector<QWidget*> aboutOwners_;
};

TEST_F(HelpMenuTest, EachChoiceOpensItsTargetAndTheMenuIsBuiltAnewEachTime) {
    struct Case {
        int command;
        std::string opens;  // empty: nothing opened
        bool about;
    } cases[] = {
        {32783, platform::GetProgramFolder() + "help/index.html", false},
        {32791, platform::GetProgramFolder() + "help/support.html", false},
        {32782, platform::GetProgramFolder() + "help/product.html", false},
        {32778, platform::GetProgramFolder() + "Diary/", false},
        {32784, "", true},
        {0, "", false},  // dismissed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        opened_.clear();
        aboutOwners_.clear();
        choice_ = c.command;
        ASSERT_TRUE(dlg_->RunCommand(IDC_HELP));
        EXPECT_EQ(opened_, c.opens.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{c.opens});
        EXPECT_EQ(aboutOwners_, c.about ? std::vector<QWidget*>{dlg_.get()}
                                        : std::vector<QWidget*>{});
        EXPECT_FALSE(flags_ & platform::TPM_RIGHTALIGN);
    }
    // Every press loaded its own menu and destroyed it afterwards.
    ASSERT_EQ(menus_.size(), std::size(cases));
    for (const QPointer<QMenu>& menu : menus_) EXPECT_TRUE(menu.isNull());
}

TEST_F(HelpMenuTest, LabelsFollowTheCatalogueButOpenLogFileKeepsItsTemplateText) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("Help.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Language name="HelpCheck">
  <Section name="Menu">
    <Text key="HelpFile">Manual</Text><Text key="Support">Ask</Text>
    <Text key="ProductPage">Home</Text><Text key="About">Who</Text>
  </Section>
</Language>
)");
    LoadLanguageFiles((dir.Path() + "*.xml").c_str());
    struct Case {
        const char* language;
        std::vector<std::pair<int, std::string>> items;
    } cases[] = {
        {"HelpCheck",
         {{32783, "Manual"}, {32791, "Ask"}, {32782, "Home"}, {32778, "Open Log File"},
          {32784, "Who"}}},
        {"English",
         {{32783, "Help File"}, {32791, "Support"}, {32782, "Product Page"},
          {32778, "Open Log File"}, {32784, "About"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        SelectLanguage(c.language);
        dlg_->Help()->OnHelpButton();
        EXPECT_EQ(items_, c.items);
    }
}

TEST(HelpPages, TheBuildShipsEachPageWithEveryFileItLinksTo) {
    const std::regex link(R"re((?:href|src)="([^":#]+)")re");
    for (const char* page : {kHelpFilePage, kSupportPage, kProductPage}) {
        SCOPED_TRACE(page);
        const std::string path = std::string(RZ_BIN_DIR "/") + page;
        const std::string html = testsupport::ReadFile(path);
        ASSERT_FALSE(html.empty());
        EXPECT_NE(html.find("<title>"), std::string::npos);
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it)
            EXPECT_TRUE(platform::FileExists(folder + (*it)[1].str())) << (*it)[1].str();
    }
}

TEST(AboutDlg, ShowsIconNameAndVersionAndOkCloses) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Velmora Zudodo Raridevi");
    EXPECT_EQ(about.size(), QSize(437, 130));  // 291 x 80 dialog units
    QStringList texts;
    bool icon = false;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) texts << label->text();
        if (!label->pixmap().isNull()) icon = true;
    }
    texts.sort();
    EXPECT_EQ(texts, QStringList({"Velmora Zudodo Raridevi", "Version: 1.1"}));
    EXPECT_TRUE(icon);
    auto* ok = qobject_cast<QAbstractButton*>(platform::GetDlgItem(&about, 1));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    QTimer::singleShot(0, ok, &QAbstractButton::click);
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

}  // namespace
