#pragma once
// MainFinishHost: the main window as the record-finish handler sees it. InstallFinishing routes
// WM_USER_RECORDFINISH to the handler (a later On() for that message, or a second install,
// replaces it); CreateProgressWindow makes the process-wide progress window at initialisation.
// Both live as long as the main window.
// Thread contract: user-interface thread only.
#include "finishing/finish_host.h"
#include "finishing/record_finish.h"

namespace app {

class CRiviveZuzuveDlg;

class MainFinishHost : public finishing::FinishHost {
public:
    explicit MainFinishHost(CRiviveZuzuveDlg& dlg) : dlg_(dlg) {}

    platform::WindowHandle MainWindow() override;
    const recording::RecordJob& Job() override;
    const settings::RecordSettings& Settings() override;
    std::atomic<std::int32_t>& HookInstalled() override;
    void RemoveClickHook() override;
    void RestoreMain() override;
    std::string TempAviPath() override;
    std::string TempWavPath() override;
    bool ShowSelectedArea() override;
    std::atomic<std::int32_t>& Converting() override;
    std::atomic<std::int32_t>& CancelConvert() override;
    std::function<void()> EndApplication() override;
    void Quit() override;

private:
    CRiviveZuzuveDlg& dlg_;
    recording::RecordJob idle_;  // before the recording control exists
};

// The finishing stage of the main window; `services` replace the Save As dialog and the shell
// for tests. Returns the handler, owned by the window.
finishing::RecordFinisher& InstallFinishing(CRiviveZuzuveDlg& dlg,
                                            finishing::FinishServices services = finishing::SystemFinishServices());
// The handler installed on `dlg`, or null.
finishing::RecordFinisher* FinisherOf(CRiviveZuzuveDlg& dlg);

// A recording of `dlg` has stopped and is not saved yet: its thread is closing the files, its
// finish message waits, the handler or one of its workers is at it.
bool FinishPending(CRiviveZuzuveDlg& dlg);
// Quit asked for while FinishPending: true when the quit must wait (a Save As dialog is being
// closed first, the recording thread is still closing its files, or a copy worker was stopped;
// the recorder then ends by itself, keeping the recording on disk).
bool QuitWhileFinishing(CRiviveZuzuveDlg& dlg);
// Stops the copies of `dlg`'s finishing that have not ended (see RecordFinisher::StopCopies);
// true when one was stopped and its worker ends the recorder.
bool StopCopies(CRiviveZuzuveDlg& dlg);

// Creates the progress window, placed by the primary screen's size, and hands it to the main
// window unless a window was handed to it before; deleted with the main window.
void CreateProgressWindow(CRiviveZuzuveDlg& dlg);

}  // namespace app
