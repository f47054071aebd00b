#include "resources/menus.h"

#include "resources/resource_ids.h"

namespace resources {

namespace {

const platform::MenuTemplate kTrayMenu{IDR_TRAY_MENU,
                                       {{ID_TRAY_RECORD, "&Record"},
                                        {ID_TRAY_PAUSE, "&Pause"},
                                        {ID_TRAY_STOP, "&Stop"},
                                        {0, nullptr},
                                        {ID_TRAY_EXIT, "&Exit"}}};

const platform::MenuTemplate kHelpMenu{IDR_HELP_MENU,
                                       {{ID_HELP_FILE, "Help File"},
                                        {ID_SUPPORT, "Support"},
                                        {ID_PRODUCT_PAGE, "Product Page"},
                                        {ID_OPEN_LOG, "Open Log File"},
                                        {0, nullptr},
                                        {ID_ABOUT, "About"}}};

}  // namespace

const platform::MenuTemplate* FindMenuTemplate(int id) {
    if (id == IDR_TRAY_MENU) return &kTrayMenu;
    if (id == IDR_HELP_MENU) return &kHelpMenu;
    return nullptr;
}

}  // namespace resources
