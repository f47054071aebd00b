#pragma once
// The main window's Option button: the Options dialog filled from Config.ini, [Global Options]
// saved after OK, and the tray icon following TrayIcon whatever the dialog's result.
// Thread contract: user-interface thread only.
#include <functional>

namespace app {

class COptionsDlg;
class CRiviveZuzuveDlg;

void OnOptionButton(CRiviveZuzuveDlg& dlg);

// How the dialog runs: modally unless replaced (tests); returns QDialog::Accepted or Rejected.
// An empty runner restores the modal run.
using OptionsDialogRunner = std::function<int(COptionsDlg&)>;
void SetOptionsDialogRunner(OptionsDialogRunner run);

}  // namespace app
