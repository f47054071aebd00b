#pragma once
// The recorder's dialog templates (sizes and rectangles in dialog units).
// Thread contract: immutable data; any thread.
#include "platform/ui/dialog_template.h"

namespace resources {

// The template of that number; null when there is none.
const platform::DialogTemplate* FindDialogTemplate(int id);
// Every template, in number order.
const std::vector<const platform::DialogTemplate*>& AllDialogTemplates();

}  // namespace resources
