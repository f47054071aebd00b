#pragma once
// The three global hot keys of the main window: Start 0xB1A5, Pause 0xB1A7, Stop 0xB1A9, each a
// key code with a modifier mask (1 ALT, 2 CTRL, 4 SHIFT) taken from the settings.
// Thread contract: user-interface thread only.
#include "platform/core/types.h"
#include "platform/x11/hot_keys.h"
#include "recording/recording_messages.h"
#include "settings/record_settings.h"

#include <array>
#include <cstdint>
#include <string>

namespace app {

using recording::kHotKeyPause;
using recording::kHotKeyStart;
using recording::kHotKeyStop;

// The mask of the CTRL, SHIFT and ALT flags.
unsigned HotKeyMask(int ctrl, int shift, int alt);

// One hot key: its id, where its flags, code and mask live in the settings, and its texts in
// section "MsgBox".
struct HotKeySlot {
    int id;
    std::int32_t settings::RecordSettings::*ctrl;
    std::int32_t settings::RecordSettings::*alt;
    std::int32_t settings::RecordSettings::*shift;
    std::int32_t settings::RecordSettings::*code;
    std::int32_t settings::RecordSettings::*mask;
    const char* refusedAtStart;  // box of a refusal at start-up
    const char* registering;     // start of the Options dialog's message
};
// Start, Pause and Stop, in that order.
const std::array<HotKeySlot, 3>& HotKeySlots();

// Key names and codes: "A"-"Z" 65-90, "0"-"9" 48-57, "F1"-"F12" 112-123, "Print Screen" 44;
// names match exactly, with case. Any other name gives 0; 0 and any other code give "None".
int KeyNameToCode(const std::string& name);
std::string KeyCodeToName(int code);
// "CTRL + ", "SHIFT + ", "ALT + " for the mask's bits in that order, then the key's name
// (nothing for code 0): CTRL and SHIFT with F9 give "CTRL + SHIFT + F9".
std::string HotKeyText(int code, unsigned mask);

// Registers Start, Pause and Stop in that order for `window`. A refused key shows its box
// (("MsgBox", "StartHotkeyError"), "PauseHotkeyError" or "StopHotkeyError"; no caption, OK)
// and the next one is tried. Returns how many were registered.
int RegisterHotKeys(platform::HotKeys& keys, platform::WindowHandle window,
                    const settings::RecordSettings& s);
void UnregisterHotKeys(platform::HotKeys& keys, platform::WindowHandle window);

// The service the main window registers with: the system's unless replaced (tests); a null
// argument restores the system's.
platform::HotKeys& HotKeyService();
void SetHotKeyService(platform::HotKeys* keys);

}  // namespace app
