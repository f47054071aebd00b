#include "platform/ui/menu_template.h"

#include <QAction>
#include <QMenu>

namespace platform {

QMenu* BuildMenu(const MenuTemplate& tmpl, QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const MenuItemTemplate& item : tmpl.items) {
        if (item.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.command);
    }
    return menu;
}

QAction* FindMenuItem(const QMenu* menu, int command) {
    if (!menu) return nullptr;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->data().toInt() == command) return action;
    return nullptr;
}

int CommandOf(const QAction* action) { return action ? action->data().toInt() : 0; }

}  // namespace platform
