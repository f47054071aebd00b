#include "platform/ui/popup_menu.h"

#include "platform/ui/menu_template.h"

#include <QAction>
#include <QMenu>

namespace platform {

namespace {

TrackPopupMenuHook& Hook() {
    static TrackPopupMenuHook hook;
    return hook;
}

}  // namespace

void SetTrackPopupMenuHook(TrackPopupMenuHook hook) { Hook() = std::move(hook); }

int TrackPopupMenu(QMenu* menu, std::uint32_t flags, QPoint at) {
    if (!menu) return 0;
    if (Hook()) return Hook()(menu, flags, at);
    QPoint topLeft = at;
    if (flags & TPM_RIGHTALIGN) topLeft.rx() -= menu->sizeHint().width();
    return CommandOf(menu->exec(topLeft));
}

}  // namespace platform
