#include "platform/ui/folder_edit.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStyle>

namespace platform {

namespace {
constexpr const char* kBrowseAction = "rzFolderBrowse";
}

void EnableFolderBrowseButton(QLineEdit* edit) {
    if (!edit || edit->findChild<QAction*>(QLatin1String(kBrowseAction))) return;
    auto* browse = new QAction(edit->style()->standardIcon(QStyle::SP_DirOpenIcon), QString(), edit);
    browse->setObjectName(QLatin1String(kBrowseAction));
    QObject::connect(browse, &QAction::triggered, edit, [edit] {
        const QString folder = QFileDialog::getExistingDirectory(edit->window(), QString(), edit->text());
        if (!folder.isEmpty()) edit->setText(folder);
    });
    edit->addAction(browse, QLineEdit::TrailingPosition);
}

}  // namespace platform
