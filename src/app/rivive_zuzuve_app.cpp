#include "app/rivive_zuzuve_app.h"

#include "app/log_lines.h"
#include "app/rivive_zuzuve_dlg.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/left_recordings.h"
#include "platform/core/instance_lock.h"
#include "platform/core/message_box.h"
#include "recording/temp_files.h"

#include <QTimer>

namespace app {

bool CRiviveZuzuveApp::InitInstance() {
    LoadLanguageFiles("Languages\\*.xml");
    if (GetLanguageCount() > 0) SelectLanguage("English");

    // Held until the process ends, like a mutex that is never closed.
    static platform::InstanceLock lock(kAppName);
    if (!lock.Acquire()) {
        platform::MessageBox(0, GetText("MsgBox", "RecordIsRuning"), kAppName, platform::MB_OK);
        return false;
    }
    lock.Leak();

    {
        CRiviveZuzuveDlg dlg;  // window-modal without an owner: it blocks no other window
        // Once the window is up: recordings an earlier run left unfinished (no other copy runs).
        QTimer::singleShot(0, &dlg, [&dlg] {
            finishing::OfferLeftRecordings(dlg.Handle(), dlg.Settings(), recording::GetTempFolder());
        });
        dlg.exec();
    }
    return false;
}

}  // namespace app
