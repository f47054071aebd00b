#pragma once
// Tracking a pop-up menu at a screen point. The chosen item's command id is returned (0 when the
// menu was dismissed); the caller runs the command.
// Thread contract: user-interface thread only.
#include <QPoint>
#include <cstdint>
#include <functional>

class QMenu;

namespace platform {

enum : std::uint32_t {
    TPM_LEFTALIGN = 0x0,
    TPM_RIGHTBUTTON = 0x2,
    TPM_RIGHTALIGN = 0x8,
    TPM_RETURNCMD = 0x100,
};

// Shows `menu` modally with its top-left (TPM_LEFTALIGN) or top-right (TPM_RIGHTALIGN) corner
// at `at`, kept on the screen.
int TrackPopupMenu(QMenu* menu, std::uint32_t flags, QPoint at);

// Replaces the real tracking, for tests: the hook sees the menu as it would be shown and returns
// the command to choose. An empty hook restores the real tracking.
using TrackPopupMenuHook = std::function<int(QMenu* menu, std::uint32_t flags, QPoint at)>;
void SetTrackPopupMenuHook(TrackPopupMenuHook hook);

}  // namespace platform
