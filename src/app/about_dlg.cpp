#include "app/about_dlg.h"

#include "platform/ui/dialog_builder.h"
#include "resources/cursors.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QLabel>
#include <algorithm>
#include <cstdlib>

namespace app {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    const platform::DialogTemplate* tmpl = resources::FindDialogTemplate(resources::IDD_ABOUTBOX);
    if (!tmpl) return;
    platform::BuildDialog(*tmpl, this, [](const platform::ControlTemplate& c, QWidget* parent)
                                           -> QWidget* {
        if (c.kind != platform::ControlKind::Icon) return nullptr;
        // The icon control's text is the number of its icon resource.
        auto* picture = new QLabel(parent);
        const QIcon icon = resources::LoadIconResource(std::atoi(c.text));
        const int side = std::min(platform::DialogUnitsToPixelsX(c.w),
                                  platform::DialogUnitsToPixelsY(c.h));
        picture->setPixmap(icon.pixmap(side, side));
        return picture;
    });
    setWindowIcon(resources::LoadIconResource(resources::IDR_MAINFRAME));
    if (auto* ok = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, 1)))
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
}

}  // namespace app
