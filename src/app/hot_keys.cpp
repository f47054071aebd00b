#include "app/hot_keys.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"

#include <cstdint>

namespace app {

namespace {

platform::HotKeys* replacement = nullptr;

struct HotKeyRow {
    int id;
    std::int32_t settings::RecordSettings::*ctrl;
    std::int32_t settings::RecordSettings::*shift;
    std::int32_t settings::RecordSettings::*alt;
    std::int32_t settings::RecordSettings::*code;
    const char* refusal;
};

}  // namespace

unsigned HotKeyMask(int ctrl, int shift, int alt) {
    unsigned mask = 0;
    if (ctrl) mask |= platform::MOD_CONTROL;
    if (shift) mask |= platform::MOD_SHIFT;
    if (alt) mask |= platform::MOD_ALT;
    return mask;
}

int RegisterHotKeys(platform::HotKeys& keys, platform::WindowHandle window,
                    const settings::RecordSettings& s) {
    using S = settings::RecordSettings;
    static const HotKeyRow rows[] = {
        {kHotKeyStart, &S::StartCtrl, &S::StartShift, &S::StartAlt, &S::StartHotkey,
         "StartHotkeyError"},
        {kHotKeyPause, &S::PauseCtrl, &S::PauseShift, &S::PauseAlt, &S::PauseHotkey,
         "PauseHotkeyError"},
        {kHotKeyStop, &S::StopCtrl, &S::StopShift, &S::StopAlt, &S::StopHotkey,
         "StopHotkeyError"},
    };
    int registered = 0;
    for (const HotKeyRow& row : rows) {
        const unsigned mask = HotKeyMask(s.*row.ctrl, s.*row.shift, s.*row.alt);
        if (keys.Register(window, row.id, mask, s.*row.code))
            ++registered;
        else
            platform::MessageBox(window, GetText("MsgBox", row.refusal), "", platform::MB_OK);
    }
    return registered;
}

void UnregisterHotKeys(platform::HotKeys& keys, platform::WindowHandle window) {
    for (int id : {kHotKeyStart, kHotKeyPause, kHotKeyStop}) keys.Unregister(window, id);
}

platform::HotKeys& HotKeyService() {
    return replacement ? *replacement : platform::SystemHotKeys();
}

void SetHotKeyService(platform::HotKeys* keys) { replacement = keys; }

}  // namespace app
