#include "finishing/save_as_dialog.h"

#include "platform/core/messages.h"

#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include <vector>

namespace finishing {

namespace {
std::vector<QPointer<QFileDialog>>& OpenDialogs() {
    static std::vector<QPointer<QFileDialog>> dialogs;
    return dialogs;
}
}  // namespace

void CloseSaveAsDialogs() {
    for (const QPointer<QFileDialog>& dialog : OpenDialogs())
        if (dialog) dialog->reject();
}

std::string QtNameFilter(const std::string& filter) {
    std::string result;
    std::size_t start = 0;
    // Pairs of "description|pattern|", ended by an empty entry.
    while (start < filter.size()) {
        const std::size_t bar = filter.find('|', start);
        if (bar == std::string::npos || bar == start) break;
        const std::size_t end = filter.find('|', bar + 1);
        const std::string description = filter.substr(start, bar - start);
        const std::string pattern = filter.substr(bar + 1, (end == std::string::npos ? filter.size() : end) - bar - 1);
        if (!result.empty()) result += ";;";
        result += description + " (" + pattern + ")";
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

bool ShowSaveAsDialog(const SaveAsRequest& request, std::string* path) {
    QFileDialog dialog(platform::WidgetOf(request.owner), QString::fromStdString(request.title),
                       QString::fromStdString(request.initialFolder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(QString::fromStdString(QtNameFilter(request.filter)));
    dialog.selectFile(QString::fromStdString(request.fileName));
    OpenDialogs().emplace_back(&dialog);
    const int result = dialog.exec();
    std::erase_if(OpenDialogs(), [&dialog](const QPointer<QFileDialog>& d) { return !d || d == &dialog; });
    if (result != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    *path = chosen.first().toStdString();
    return true;
}

}  // namespace finishing
