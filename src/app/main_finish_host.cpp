#include "app/main_finish_host.h"

#include "app/main_messages.h"
#include "app/main_tray.h"
#include "app/rivive_zuzuve_dlg.h"
#include "app/show_selected_area.h"
#include "audio/wave_in_capture.h"
#include "companions/clickwatch/clickwatch.h"
#include "finishing/progess_dlg.h"
#include "recording/finished_recording.h"
#include "recording/recording_control.h"
#include "recording/temp_files.h"

#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <memory>

namespace app {

namespace {

// Holds the host and the handler as a child of the main window; deletes the progress window
// with it.
class FinishingStage : public QObject {
public:
    FinishingStage(CRiviveZuzuveDlg& dlg, finishing::FinishServices services)
        : QObject(&dlg), host(dlg), finisher(host, std::move(services)) {
        setObjectName(QStringLiteral("finishingStage"));
    }
    MainFinishHost host;
    finishing::RecordFinisher finisher;
};

FinishingStage* StageOf(CRiviveZuzuveDlg& dlg) {
    return static_cast<FinishingStage*>(
        dlg.findChild<QObject*>(QStringLiteral("finishingStage"), Qt::FindDirectChildrenOnly));
}

}  // namespace

platform::WindowHandle MainFinishHost::MainWindow() { return dlg_.Handle(); }

const recording::RecordJob& MainFinishHost::Job() {
    return dlg_.Recording() ? dlg_.Recording()->Job() : idle_;
}

const settings::RecordSettings& MainFinishHost::Settings() { return dlg_.Settings(); }
std::atomic<std::int32_t>& MainFinishHost::HookInstalled() { return dlg_.Flags().HookInstalled; }
void MainFinishHost::RemoveClickHook() { UninstallMyHook(dlg_.Handle()); }
void MainFinishHost::RestoreMain() { dlg_.ShowNormalQuietly(); }
std::string MainFinishHost::TempAviPath() { return recording::TempAviPath(); }

std::string MainFinishHost::TempWavPath() {
    return dlg_.WaveInCapture() ? dlg_.WaveInCapture()->TempWavPath() : std::string();
}

bool MainFinishHost::ShowSelectedArea() { return app::ShowSelectedArea != 0; }
std::atomic<std::int32_t>& MainFinishHost::Converting() { return dlg_.Flags().Converting; }
std::atomic<std::int32_t>& MainFinishHost::CancelConvert() { return dlg_.Flags().CancelConvert; }

std::function<void()> MainFinishHost::EndApplication() {
    QPointer<CRiviveZuzuveDlg> dlg(&dlg_);
    // Queued to the user-interface thread; the window is looked at only there.
    return [dlg] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [dlg] {
                if (!dlg) return;
                if (dlg->Tray()) dlg->Tray()->Remove();
                // The plain end of the modal loop (the window's own done, through QDialog's
                // public face), not the exit routine.
                static_cast<QDialog*>(dlg.data())->done(QDialog::Rejected);
            },
            Qt::QueuedConnection);
    };
}

void MainFinishHost::Quit() {
    QPointer<CRiviveZuzuveDlg> dlg(&dlg_);
    QMetaObject::invokeMethod(
        &dlg_,
        [dlg] {
            if (dlg) dlg->OnCancel();
        },
        Qt::QueuedConnection);
}

bool FinishPending(CRiviveZuzuveDlg& dlg) {
    return finishing::FinishesInProgress() > 0 || recording::PendingFinishes() > 0 ||
           (dlg.Recording() && dlg.Recording()->Job().ThreadActive);
}

bool StopCopies(CRiviveZuzuveDlg& dlg) {
    finishing::RecordFinisher* finisher = FinisherOf(dlg);
    return finisher && finisher->StopCopies();
}

bool QuitWhileFinishing(CRiviveZuzuveDlg& dlg) {
    finishing::RecordFinisher* finisher = FinisherOf(dlg);
    if (!finisher) return false;
    // A copy stopped here ends the recorder from its worker; one that ended just before leaves
    // the quit to this thread.
    const bool copyEnds = finisher->StopCopies();
    // A recording thread still closing its files needs this thread (its sound buffers, its
    // boxes): the recorder ends at its finish message rather than waiting for it here.
    const bool closing = dlg.Recording() && dlg.Recording()->Job().ThreadActive;
    if (!finisher->InDialog() && !closing && !copyEnds) return false;
    // Until the recorder has ended, a finish message that still comes keeps its recording.
    finisher->RequestQuit();
    return true;
}

finishing::RecordFinisher& InstallFinishing(CRiviveZuzuveDlg& dlg, finishing::FinishServices services) {
    delete StageOf(dlg);
    auto* stage = new FinishingStage(dlg, std::move(services));
    finishing::RecordFinisher* finisher = &stage->finisher;
    dlg.Messages().On(WM_USER_RECORDFINISH, [finisher](platform::WPARAM w, platform::LPARAM l) {
        return finisher->OnRecordFinish(w, l);
    });
    return *finisher;
}

finishing::RecordFinisher* FinisherOf(CRiviveZuzuveDlg& dlg) {
    FinishingStage* stage = StageOf(dlg);
    return stage ? &stage->finisher : nullptr;
}

void CreateProgressWindow(CRiviveZuzuveDlg& dlg) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(0, 0);
    QPointer<finishing::CProgessDlg> progress = finishing::CProgessDlg::Create(size.width(), size.height());
    if (!dlg.ProgressWindow()) dlg.SetProgressWindow(progress.data());
    // One window for the process: it goes with the last main window that made it.
    static int holders = 0;
    ++holders;
    QObject::connect(&dlg, &QObject::destroyed, [progress] {
        if (--holders == 0) delete progress.data();
    });
}

}  // namespace app
