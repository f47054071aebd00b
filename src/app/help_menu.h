#pragma once
// HelpMenu: the main window's Help button. Each press builds menu 145 anew with its labels from
// the catalogue, tracks it at the cursor and acts on the choice: a help page in the program
// folder, the log folder or the About box.
// Thread contract: user-interface thread only.
#include "resources/resource_ids.h"

#include <functional>
#include <string>

class QWidget;

namespace app {

// Commands of menu 145.
using resources::ID_ABOUT;
using resources::ID_HELP_FILE;
using resources::ID_OPEN_LOG;
using resources::ID_PRODUCT_PAGE;
using resources::ID_SUPPORT;

class HelpMenu {
public:
    using Opener = std::function<bool(const std::string& pathOrUrl)>;
    using AboutRunner = std::function<void(QWidget* owner)>;

    // `owner` is the main window: it owns the menu and the About box.
    explicit HelpMenu(QWidget* owner);

    // Replace how pages and folders are opened and how the About box runs (tests).
    void SetOpener(Opener open) { open_ = std::move(open); }
    void SetAboutRunner(AboutRunner run) { about_ = std::move(run); }

    void OnHelpButton();
    // Acts on one command of the menu; other commands do nothing.
    void RunChoice(int command);

private:
    QWidget* owner_;
    Opener open_;
    AboutRunner about_;
};

}  // namespace app
