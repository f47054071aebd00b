#pragma once
// The global click hook (libClickwatch). While installed, every left and right button press
// anywhere on the screen is posted to the window as WM_LBUTTONDOWN or WM_RBUTTONDOWN. The presses
// are read as XInput2 raw events on the library's own display connection and thread.
// SetHook and UninstallMyHook are called from the user-interface thread.
#include "platform/core/types.h"

// Non-zero when installed; 0 when there is no display or it has no XInput2.
int SetHook(platform::WindowHandle window);
void UninstallMyHook(platform::WindowHandle window);
