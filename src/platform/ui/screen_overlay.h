#pragma once
// Full-screen overlays: a window covering the whole screen above every other window, panels and
// docks included, that takes the keyboard while it is up. The window is left unmanaged by the
// window manager (no decorations, not moved into a layer of its own), so nothing can stack above
// it but another such window raised later.
// Thread contract: user-interface thread only.
class QWidget;

namespace platform {

// Sets the flags of an overlay on `window` (before it is first shown) and places it at (0, 0)
// with the size given.
void MakeScreenOverlay(QWidget* window, int width, int height);
// Call when the overlay has been shown: raises it, gives it the focus and grabs the keyboard,
// trying again for a while when the server is not ready yet (the window not yet viewable).
void TakeKeyboard(QWidget* window);
// Call before hiding: gives the keyboard back.
void ReleaseKeyboard(QWidget* window);

}  // namespace platform
