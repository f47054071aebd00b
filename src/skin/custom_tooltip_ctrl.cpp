#include "skin/custom_tooltip_ctrl.h"

#include "platform/ui/dialog_builder.h"

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace skin {

CCustomToolTipCtrl::CCustomToolTipCtrl(QObject* parent) : QObject(parent) {}

void CCustomToolTipCtrl::AddTool(QWidget* tool, const QString& label) {
    if (!tool) return;
    if (!tools_.contains(tool)) {
        tool->installEventFilter(this);
        connect(tool, &QObject::destroyed, this,
                [this, tool] { tools_.remove(tool); });
    }
    tools_[tool] = label;
}

void CCustomToolTipCtrl::UpdateTipText(QWidget* tool, const QString& label) {
    if (tools_.contains(tool)) tools_[tool] = label;
}

void CCustomToolTipCtrl::OnShow(QWidget* tool) {
    currentId_ = platform::GetControlId(tool);
    description_.clear();
}

bool CCustomToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* tool = qobject_cast<QWidget*>(watched);
        auto it = tools_.find(tool);
        if (it != tools_.end()) {
            OnShow(tool);
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), it.value(), tool);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace skin
