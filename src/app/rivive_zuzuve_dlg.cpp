#include "app/rivive_zuzuve_dlg.h"

#include "app/log_lines.h"
#include "companions/clickwatch/clickwatch.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"
#include "platform/core/version.h"
#include "settings/settings_store.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <cstdio>

namespace app {

namespace {
constexpr int kWindowWidth = 653;   // 435 dialog units
constexpr int kWindowHeight = 450;  // 277 dialog units
}  // namespace

CRiviveZuzuveDlg::CRiviveZuzuveDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), messages_(this) {
    setFixedSize(kWindowWidth, kWindowHeight);
    setWindowTitle(kProductName);
}

CRiviveZuzuveDlg::~CRiviveZuzuveDlg() = default;

std::string CRiviveZuzuveDlg::ConfigPath() const {
    return platform::GetProgramFolder() + "Config.ini";
}

void CRiviveZuzuveDlg::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

bool CRiviveZuzuveDlg::OnInitDialog() {
    QScreen* screen = QGuiApplication::primaryScreen();
    QSize screenSize = screen ? screen->size() : QSize(kWindowWidth, kWindowHeight);
    platform::Rect centred = settings::CentredWindowRect(screenSize.width(), screenSize.height(),
                                                         width(), height());
    move(centred.left, centred.top);
    settings::LoadSettings(settings_, ConfigPath(), centred, &compressedFormat_);

    if (!platform::IsDirectory(settings_.AutoSaveDir))
        settings_.AutoSaveDir = platform::DocumentsFolder() + "/" + kProductName;

    flags_.IsRecording = 0;
    WriteStartLine();
    return true;
}

void CRiviveZuzuveDlg::WriteStartLine() {
    char line[256];
    std::snprintf(line, sizeof line, kStartLineFormat, platform::GetVersionText().c_str());
    WriteLogLine(line);
}

void CRiviveZuzuveDlg::OnCancel() {
    if (flags_.HookInstalled != 0) {
        UninstallMyHook(Handle());
        flags_.HookInstalled = 0;
    }
    settings::SaveSettings(settings_, ConfigPath(), &compressedFormat_);
    done(QDialog::Rejected);
}

void CRiviveZuzuveDlg::OnCloseButton() {
    if (settings_.CloseTray && settings_.TrayIcon) {
        hide();
        WriteLogLine(kQuitLine);
        return;
    }
    if (flags_.IsRecording) {
        platform::MessageBox(Handle(), GetText("MsgBox", "OnRecording"), "", platform::MB_OK);
        return;
    }
    if (flags_.Converting) {
        if (platform::MessageBox(Handle(), GetText("MsgBox", "OnMerging"), "",
                                 platform::MB_OKCANCEL) == platform::IDOK)
            flags_.CancelConvert = 1;
        return;
    }
    OnCancel();
    WriteLogLine(kQuitLine);
}

void CRiviveZuzuveDlg::OnTrayExit() {
    if (flags_.IsRecording) {
        platform::MessageBox(Handle(), GetText("MsgBox", "OnRecording"), "", platform::MB_OK);
        return;
    }
    if (flags_.Converting) {
        if (platform::MessageBox(Handle(), GetText("MsgBox", "OnMerging"), "",
                                 platform::MB_OKCANCEL) == platform::IDOK)
            flags_.CancelConvert = 1;
        return;
    }
    WriteLogLine(kQuitLine);
    OnCancel();
}

void CRiviveZuzuveDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCloseButton();
}

void CRiviveZuzuveDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: event->accept(); return;
        default: QDialog::keyPressEvent(event);
    }
}

}  // namespace app
