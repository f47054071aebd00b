#pragma once
// System-wide hot keys: a key with modifiers registered for a window under an id; each press,
// wherever the focus is, reaches that window as WM_HOTKEY with the id in wParam and
// (virtual-key code << 16) | modifier mask in lParam.
// Thread contract: Register and Unregister are called from the user-interface thread; presses
// are read on the implementation's own display connection and thread and posted with
// PostMessage, so they arrive in the window's queue. A window that goes away without
// unregistering only loses its presses.
#include "platform/core/types.h"

#include <cstdint>
#include <memory>

namespace platform {

// Modifier mask bits.
constexpr unsigned MOD_ALT = 0x1;
constexpr unsigned MOD_CONTROL = 0x2;
constexpr unsigned MOD_SHIFT = 0x4;
constexpr unsigned MOD_WIN = 0x8;

// The keysym of a virtual-key code: '0'-'9' (48-57) digits, 'A'-'Z' (65-90) lower-case
// letters, F1-F12 (112-123), Print Screen (44); 0 for any other code.
std::uint32_t VirtualKeyToKeysym(int vkCode);

class HotKeys {
public:
    virtual ~HotKeys() = default;
    // False when the key is taken (by another program, or by another id here), when the code
    // has no key on this keyboard, or when there is no display.
    virtual bool Register(WindowHandle window, int id, unsigned mask, int vkCode) = 0;
    // False when nothing was registered under (window, id).
    virtual bool Unregister(WindowHandle window, int id) = 0;
};

// A hot-key service on its own connection to the X display of $DISPLAY.
std::unique_ptr<HotKeys> CreateX11HotKeys();
// The process-wide service.
HotKeys& SystemHotKeys();

}  // namespace platform
