#include "platform/core/message_box.h"

#include "platform/core/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QKeyEvent>
#include <QThread>
#include <mutex>

namespace platform {

namespace {

std::mutex hookMutex;
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

// CTRL+C copies the whole box as text: caption, message and buttons between dashed lines. The
// press reaches the box from its focused button, which does not take it.
class CopyOnCtrlC : public QObject {
public:
    explicit CopyOnCtrlC(QMessageBox& box) : QObject(&box), box_(box) { box.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress ||
            !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            return false;
        const QString line = QStringLiteral("---------------------------\n");
        QStringList buttons;
        for (QAbstractButton* button : box_.buttons()) buttons << button->text().remove('&');
        QGuiApplication::clipboard()->setText(line + box_.windowTitle() + '\n' + line +
                                              box_.text() + '\n' + line +
                                              buttons.join(QStringLiteral("   ")) + '\n' + line);
        return true;
    }

private:
    QMessageBox& box_;
};

int ShowOnThisThread(const MessageBoxRequest& request) {
    QMessageBox box(WidgetOf(request.owner));
    box.setText(QString::fromStdString(request.text));
    box.setWindowTitle(request.caption.empty() ? QApplication::applicationDisplayName()
                                               : QString::fromStdString(request.caption));
    switch (request.type & 0xF0) {
        case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
    }
    switch (request.type & 0x0F) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MB_YESNOCANCEL:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    const QMessageBox::StandardButton order[] = {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No,
                                                 QMessageBox::Cancel};
    std::size_t named = 0;
    for (QMessageBox::StandardButton which : order)
        if (QAbstractButton* button = box.button(which); button && named < request.buttonTexts.size())
            button->setText(QString::fromStdString(request.buttonTexts[named++]));
    new CopyOnCtrlC(box);
    switch (box.exec()) {
        case QMessageBox::Cancel: return IDCANCEL;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        default: return IDOK;
    }
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(hookMutex);
    Hook() = std::move(hook);
}

int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
               unsigned type) {
    return MessageBox(owner, text, caption, type, {});
}

int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, unsigned type,
               std::vector<std::string> buttonTexts) {
    MessageBoxRequest request{owner, text, caption, type, std::move(buttonTexts)};
    {
        std::unique_lock lock(hookMutex);
        if (Hook()) {
            MessageBoxHook hook = Hook();
            lock.unlock();
            return hook(request);
        }
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return IDOK;
    if (QThread::currentThread() == app->thread()) return ShowOnThisThread(request);
    int result = IDOK;
    QMetaObject::invokeMethod(
        app, [&] { result = ShowOnThisThread(request); }, Qt::BlockingQueuedConnection);
    return result;
}

}  // namespace platform
