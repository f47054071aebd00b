#include "app/main_recording_host.h"

#include "app/rivive_zuzuve_dlg.h"
#include "companions/clickwatch/clickwatch.h"
#include "platform/ui/dialog_builder.h"
#include "skin/bitmap_utils.h"
#include "skin/bmp_button.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace app {

MainRecordingHost::MainRecordingHost(CRiviveZuzuveDlg& dlg) : dlg_(dlg) {
    QObject::connect(&statusTimer_, &QTimer::timeout, [this] { ++elapsed_; });
}

platform::WindowHandle MainRecordingHost::MainWindow() { return dlg_.Handle(); }
settings::RecordSettings& MainRecordingHost::Settings() { return dlg_.Settings(); }
std::atomic<std::int32_t>& MainRecordingHost::IsRecording() { return dlg_.Flags().IsRecording; }
std::atomic<std::int32_t>& MainRecordingHost::HookInstalled() {
    return dlg_.Flags().HookInstalled;
}
std::atomic<std::int32_t>& MainRecordingHost::CancelConvert() {
    return dlg_.Flags().CancelConvert;
}

void MainRecordingHost::InvalidateMain(bool) { dlg_.update(); }
void MainRecordingHost::MinimizeMain() { dlg_.MinimizeQuietly(); }

void MainRecordingHost::ShowMainForeground() {
    dlg_.ShowNormalQuietly();
    dlg_.raise();
    dlg_.activateWindow();
}

void MainRecordingHost::RestoreMainToTop() {
    dlg_.ShowNormalQuietly();
    dlg_.raise();
    dlg_.activateWindow();
    dlg_.setFocus();
}

void MainRecordingHost::EnableButton(int id, bool enable) {
    if (QWidget* button = dlg_.Control(id)) button->setEnabled(enable);
}

int MainRecordingHost::ScreenWidth() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().width() : 0;
}

int MainRecordingHost::ScreenHeight() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().height() : 0;
}

int MainRecordingHost::WaveInDeviceCount() { return waveInCount_ ? waveInCount_() : 0; }

int MainRecordingHost::InstallClickHook() { return SetHook(dlg_.Handle()); }
void MainRecordingHost::RemoveClickHook() { UninstallMyHook(dlg_.Handle()); }

std::string MainRecordingHost::AreaEditText(int id) {
    if (auto* edit = qobject_cast<QLineEdit*>(platform::GetDlgItem(dlg_.Page(0), id)))
        return edit->text().toStdString();
    // Without the Select Area page, the settings its boxes would show.
    const settings::RecordSettings& s = dlg_.Settings();
    switch (id) {
        case recording::kIdEditLeft: return std::to_string(s.RecordLeft);
        case recording::kIdEditTop: return std::to_string(s.RecordTop);
        case recording::kIdEditWidth: return std::to_string(s.RecordRight);
        case recording::kIdEditHeight: return std::to_string(s.RecordBottom);
        default: return std::string();
    }
}

void MainRecordingHost::EnableAreaControl(int id, bool enable) {
    if (QWidget* control = platform::GetDlgItem(dlg_.Page(0), id)) control->setEnabled(enable);
}

void MainRecordingHost::StatusSetPaused(bool, const std::string& bitmapPath) {
    QWidget* status = dlg_.StatusWindow();
    if (!status) return;
    if (auto* pause = qobject_cast<skin::CBmpButton*>(platform::GetDlgItem(status, 1003)))
        pause->SetStrip(skin::LoadImageFile(bitmapPath));
    status->update();
}

void MainRecordingHost::StatusShow() {
    if (QWidget* status = dlg_.StatusWindow()) status->show();
}

void MainRecordingHost::StatusHide() {
    if (QWidget* status = dlg_.StatusWindow()) status->hide();
}

void MainRecordingHost::StatusPlace(int x, int y, int width, int height) {
    if (QWidget* status = dlg_.StatusWindow()) {
        status->setGeometry(x, y, width, height);
        status->raise();
    }
}

void MainRecordingHost::StatusStartTimer(int, int ms) { statusTimer_.start(ms); }
void MainRecordingHost::StatusKillTimer(int) { statusTimer_.stop(); }
std::int64_t MainRecordingHost::StatusElapsedSeconds() { return elapsed_; }
void MainRecordingHost::StatusResetElapsed() { elapsed_ = 0; }

}  // namespace app
