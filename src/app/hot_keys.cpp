#include "app/hot_keys.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"

#include <cstdint>

namespace app {

namespace {

platform::HotKeys* replacement = nullptr;

}  // namespace

const std::array<HotKeySlot, 3>& HotKeySlots() {
    using S = settings::RecordSettings;
    static const std::array<HotKeySlot, 3> slots{{
        {kHotKeyStart, &S::StartCtrl, &S::StartAlt, &S::StartShift, &S::StartHotkey,
         &S::uHotkeyMaskStart, "StartHotkeyError", "RegisterStart"},
        {kHotKeyPause, &S::PauseCtrl, &S::PauseAlt, &S::PauseShift, &S::PauseHotkey,
         &S::uHotkeyMaskPause, "PauseHotkeyError", "RegisterPause"},
        {kHotKeyStop, &S::StopCtrl, &S::StopAlt, &S::StopShift, &S::StopHotkey,
         &S::uHotkeyMaskStop, "StopHotkeyError", "RegisterStop"},
    }};
    return slots;
}

unsigned HotKeyMask(int ctrl, int shift, int alt) {
    unsigned mask = 0;
    if (ctrl) mask |= platform::MOD_CONTROL;
    if (shift) mask |= platform::MOD_SHIFT;
    if (alt) mask |= platform::MOD_ALT;
    return mask;
}

int KeyNameToCode(const std::string& name) {
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return name[0];
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int number = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return 0;
            number = number * 10 + (name[i] - '0');
        }
        if (name[1] != '0' && number >= 1 && number <= 12) return 111 + number;
        return 0;
    }
    if (name == "Print Screen") return 44;
    return 0;
}

std::string KeyCodeToName(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= 112 && code <= 123) return "F" + std::to_string(code - 111);
    if (code == 44) return "Print Screen";
    return "None";
}

std::string HotKeyText(int code, unsigned mask) {
    std::string text;
    if (mask & platform::MOD_CONTROL) text += "CTRL + ";
    if (mask & platform::MOD_SHIFT) text += "SHIFT + ";
    if (mask & platform::MOD_ALT) text += "ALT + ";
    if (code != 0) text += KeyCodeToName(code);
    return text;
}

int RegisterHotKeys(platform::HotKeys& keys, platform::WindowHandle window,
                    const settings::RecordSettings& s) {
    int registered = 0;
    for (const HotKeySlot& slot : HotKeySlots()) {
        // The stored mask is not used here: the flags make the mask.
        const unsigned mask = HotKeyMask(s.*slot.ctrl, s.*slot.shift, s.*slot.alt);
        if (keys.Register(window, slot.id, mask, s.*slot.code))
            ++registered;
        else
            platform::MessageBox(window, GetText("MsgBox", slot.refusedAtStart), "",
                                 platform::MB_OK);
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
