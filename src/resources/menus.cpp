#include "resources/menus.h"

#include "resources/resource_ids.h"

namespace resources {

namespace {

const platform::MenuTemplate kTrayMenu{IDR_TRAY_MENU,
                                       {{32771, "&Record"},
                                        {32772, "&Pause"},
                                        {32773, "&Stop"},
                                        {0, nullptr},
                                        {32774, "&Exit"}}};

const platform::MenuTemplate kHelpMenu{IDR_HELP_MENU,
                                       {{32783, "Help File"},
                                        {32791, "Support"},
                                        {32782, "Product Page"},
                                        {32778, "Open Log File"},
                                        {0, nullptr},
                                        {32784, "About"}}};

}  // namespace

const platform::MenuTemplate* FindMenuTemplate(int id) {
    if (id == IDR_TRAY_MENU) return &kTrayMenu;
    if (id == IDR_HELP_MENU) return &kHelpMenu;
    return nullptr;
}

}  // namespace resources
