#include "app/option_button.h"

#include "app/hot_keys.h"
#include "app/log_lines.h"
#include "app/main_tray.h"
#include "app/options_dlg.h"
#include "app/rivive_zuzuve_dlg.h"
#include "settings/settings_store.h"

namespace app {

namespace {

OptionsDialogRunner& Runner() {
    static OptionsDialogRunner run;
    return run;
}

}  // namespace

void SetOptionsDialogRunner(OptionsDialogRunner run) { Runner() = std::move(run); }

void OnOptionButton(CRiviveZuzuveDlg& dlg) {
    settings::RecordSettings& options = dlg.Settings();
    // The hot keys as Config.ini has them, masks included.
    settings::RecordSettings stored = options;
    settings::LoadHotKeyOptions(stored, dlg.ConfigPath());

    COptionsDlg optionsDlg(options, HotKeyService(), dlg.Handle(), &dlg);
    for (std::size_t row = 0; row < HotKeySlots().size(); ++row) {
        const HotKeySlot& slot = HotKeySlots()[row];
        optionsDlg.Keys[row] = HotKeyChoice{stored.*slot.ctrl, stored.*slot.alt,
                                             stored.*slot.shift, stored.*slot.code,
                                             stored.*slot.mask};
    }

    const int result = Runner() ? Runner()(optionsDlg) : optionsDlg.exec();
    if (result == QDialog::Accepted) {
        for (std::size_t row = 0; row < HotKeySlots().size(); ++row) {
            const HotKeySlot& slot = HotKeySlots()[row];
            const HotKeyChoice& key = optionsDlg.Keys[row];
            options.*slot.ctrl = key.Ctrl;
            options.*slot.alt = key.Alt;
            options.*slot.shift = key.Shift;
            options.*slot.code = key.Hotkey;
            options.*slot.mask = key.Mask;
        }
        const std::string path = dlg.ConfigPath();
        if (!settings::SaveGlobalOptions(options, path)) LogSettingsNotSaved(path);
    }

    if (options.TrayIcon) dlg.Tray()->Add();
    else dlg.Tray()->Remove();
}

}  // namespace app
