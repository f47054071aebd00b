#pragma once
// Pop-up menus as data and their Qt menus. Each action carries its command id.
// Thread contract: BuildMenu and the look-ups run on the user-interface thread.
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace platform {

struct MenuItemTemplate {
    int command;  // 0: separator
    const char* text;
};

struct MenuTemplate {
    int id;
    std::vector<MenuItemTemplate> items;  // the one pop-up of the menu
};

// A new pop-up menu owned by `parent` (may be null: the caller deletes it).
QMenu* BuildMenu(const MenuTemplate& tmpl, QWidget* parent);
// The action of a command; null when the menu has none.
QAction* FindMenuItem(const QMenu* menu, int command);
// The command id of an action; 0 for none.
int CommandOf(const QAction* action);

}  // namespace platform
