#pragma once
// What choosing the area needs of the desktop: the screen's size and a still picture of it, the
// top-level windows as they are stacked, the real pointer, and a pause that lets the screen
// repaint. The page and the overlays use SystemAreaDesktop(); tests give a stand-in.
// Thread contract: user-interface thread only.
#include "area/window_grid.h"

#include <QImage>
#include <memory>
#include <vector>

namespace area {

class AreaDesktop {
public:
    virtual ~AreaDesktop() = default;
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // The whole screen as it is now.
    virtual QImage Snapshot() = 0;
    // The visible top-level windows, top-most first, the recorder's own windows left out.
    virtual std::vector<GridWindow> TopLevelWindows() = 0;
    // Moves the real pointer (which then reports a move as the mouse would).
    virtual void MovePointer(int x, int y) = 0;
    // Lets `ms` milliseconds pass while windows are hidden and the screen repaints beneath them.
    virtual void Settle(int ms) = 0;
};

std::unique_ptr<AreaDesktop> SystemAreaDesktop();

}  // namespace area
