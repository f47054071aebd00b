#include "app/help_menu.h"

#include "app/about_dlg.h"
#include "app/help_pages.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/data_folders.h"
#include "platform/core/paths.h"
#include "platform/ui/menu_template.h"
#include "platform/ui/popup_menu.h"
#include "resources/menus.h"
#include "resources/resource_ids.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <memory>

namespace app {

namespace {

struct Label {
    int command;
    const char* key;
};
// "Open Log File" keeps its template text.
constexpr Label kLabels[] = {
    {ID_HELP_FILE, "HelpFile"},
    {ID_SUPPORT, "Support"},
    {ID_PRODUCT_PAGE, "ProductPage"},
    {ID_ABOUT, "About"},
};

}  // namespace

HelpMenu::HelpMenu(QWidget* owner)
    : owner_(owner),
      open_([](const std::string& target) { return platform::ShellOpen(target); }),
      about_([](QWidget* parent) {
          CAboutDlg about(parent);
          about.exec();
      }) {}

void HelpMenu::OnHelpButton() {
    const platform::MenuTemplate* tmpl = resources::FindMenuTemplate(resources::IDR_HELP_MENU);
    if (!tmpl) return;
    std::unique_ptr<QMenu> menu(platform::BuildMenu(*tmpl, owner_));
    for (const Label& label : kLabels)
        if (QAction* item = platform::FindMenuItem(menu.get(), label.command))
            item->setText(QString::fromUtf8(GetText("Menu", label.key)));
    const int chosen = platform::TrackPopupMenu(
        menu.get(), platform::TPM_LEFTALIGN | platform::TPM_RETURNCMD, QCursor::pos());
    menu.reset();
    RunChoice(chosen);
}

void HelpMenu::RunChoice(int command) {
    switch (command) {
        case ID_PRODUCT_PAGE: open_(platform::GetProgramFolder() + kProductPage); break;
        case ID_SUPPORT: open_(platform::GetProgramFolder() + kSupportPage); break;
        case ID_HELP_FILE: open_(platform::GetProgramFolder() + kHelpFilePage); break;
        case ID_OPEN_LOG: open_(platform::LogFolder()); break;
        case ID_ABOUT: about_(owner_); break;
        default: break;
    }
}

}  // namespace app
