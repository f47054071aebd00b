#include "app/main_recording_host.h"

#include "app/main_finish_host.h"
#include "app/main_skin_layout.h"
#include "app/rivive_zuzuve_dlg.h"
#include "audio/wave_in_capture.h"
#include "companions/clickwatch/clickwatch.h"
#include "finishing/left_recordings.h"
#include "finishing/record_finish.h"
#include "platform/ui/dialog_builder.h"
#include "recording/show_status_dlg.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <ctime>

namespace app {

MainRecordingHost::MainRecordingHost(CRiviveZuzuveDlg& dlg) : dlg_(dlg) {}

MainRecordingHost::~MainRecordingHost() {
    if (status_ && dlg_.StatusWindow() == status_.get()) dlg_.SetStatusWindow(nullptr);
}

void MainRecordingHost::CreateStatusWindow() {
    if (dlg_.StatusWindow()) return;  // one was given before initialisation (tests)
    // Without a parent: the strip stays up while the main window is minimised or hidden.
    status_ = std::make_unique<recording::CShowStatusDlg>();
    status_->SetMainActions({[this] { dlg_.RunCommand(IDC_PAUSE); },
                             [this] { dlg_.RunCommand(IDC_START); },
                             [this] { dlg_.RunCommand(IDC_STOP); }});
    status_->hide();
    dlg_.SetStatusWindow(status_.get());
}

recording::CShowStatusDlg* MainRecordingHost::Status() const {
    return qobject_cast<recording::CShowStatusDlg*>(dlg_.StatusWindow());
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

int MainRecordingHost::DesktopWidth() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().right() + 1 : 0;
}

int MainRecordingHost::DesktopHeight() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().bottom() + 1 : 0;
}

int MainRecordingHost::WaveInDeviceCount() { return waveInCount_ ? waveInCount_() : 0; }

std::string MainRecordingHost::TempWavPath() {
    return dlg_.WaveInCapture() ? dlg_.WaveInCapture()->TempWavPath() : std::string();
}

bool MainRecordingHost::TakeInterrupted(const std::string& text, const std::string& videoPath,
                                        const std::string& soundPath) {
    if (finishing::RecordFinisher* finisher = FinisherOf(dlg_))
        if (finisher->QuitIfRequested(videoPath + " " + soundPath)) return true;
    if (videoPath.empty()) return false;
    finishing::LeftRecording left;
    left.aviPath = videoPath;
    left.wavPath = soundPath;
    left.modified = std::time(nullptr);
    finishing::OfferLeftRecording(dlg_.Handle(), dlg_.Settings(), left, text);
    return true;
}

int MainRecordingHost::InstallClickHook() { return SetHook(dlg_.Handle()); }
void MainRecordingHost::RemoveClickHook() { UninstallMyHook(dlg_.Handle()); }

std::string MainRecordingHost::AreaEditText(int id) {
    auto* edit = qobject_cast<QLineEdit*>(platform::GetDlgItem(dlg_.Page(0), id));
    return edit ? edit->text().toStdString() : std::string();
}

void MainRecordingHost::EnableAreaControl(int id, bool enable) {
    if (QWidget* control = platform::GetDlgItem(dlg_.Page(0), id)) control->setEnabled(enable);
}

void MainRecordingHost::StatusSetPaused(bool paused, const std::string& bitmapPath) {
    if (recording::CShowStatusDlg* status = Status()) status->SetPausedLook(paused, bitmapPath);
}

void MainRecordingHost::StatusShow() {
    if (QWidget* status = dlg_.StatusWindow()) {
        status->showNormal();
        status->raise();
    }
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

void MainRecordingHost::StatusStartTimer(int id, int ms) {
    if (recording::CShowStatusDlg* status = Status()) status->SetTimer(id, ms);
}

void MainRecordingHost::StatusKillTimer(int id) {
    if (recording::CShowStatusDlg* status = Status()) status->KillTimer(id);
}

std::int64_t MainRecordingHost::StatusElapsedSeconds() {
    recording::CShowStatusDlg* status = Status();
    return status ? static_cast<std::int64_t>(status->ElapsedSeconds) : 0;
}

void MainRecordingHost::StatusResetElapsed() {
    if (recording::CShowStatusDlg* status = Status()) status->ResetElapsed();
}

}  // namespace app
