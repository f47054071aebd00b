#pragma once
// Builds Qt widgets from a dialog template and finds controls by id.
// Thread contract: user-interface thread only.
#include "platform/ui/dialog_template.h"

#include <functional>

class QWidget;

namespace platform {

// Sizes `dialog` to the template, sets its caption and creates every control as a child with its
// id, text, pixel rectangle and initial style. The window flags are left to the caller, except
// that a child template becomes a plain child widget. Returns the number of controls created.
// `make` may supply a widget of its own for a control (for example a skinned button); returning
// null takes the standard widget of the control's kind.
using ControlFactory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;
int BuildDialog(const DialogTemplate& tmpl, QWidget* dialog, const ControlFactory& make = {});

// Gives `control` a control id that GetDlgItem finds.
void SetControlId(QWidget* control, int id);
// The id given by SetControlId or the builder; -1 when none.
int GetControlId(const QWidget* control);
// The first descendant of `dialog` with that id (direct children first); null when none.
QWidget* GetDlgItem(const QWidget* dialog, int id);

// The window text of a control (label, button, edit, group box); SetDlgItemText on a missing id
// does nothing.
void SetDlgItemText(const QWidget* dialog, int id, const char* text);

}  // namespace platform
