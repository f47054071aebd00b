#pragma once
// Menus 139 (tray) and 145 (Help).
#include "platform/ui/menu_template.h"

namespace resources {

// The menu of that number; null when there is none.
const platform::MenuTemplate* FindMenuTemplate(int id);

}  // namespace resources
