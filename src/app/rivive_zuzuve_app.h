#pragma once
// CRiviveZuzuveApp: starts the process, keeps a second copy from running, loads the text
// catalogue and runs the main window modally for the life of the process.

namespace app {

class CRiviveZuzuveApp {
public:
    // Always false: the process ends when the main window has closed.
    bool InitInstance();
};

}  // namespace app
