#pragma once
// The Save As dialog of the finish handler: a Qt file dialog with the default name, the format's
// filter and the last folder, no default extension and no overwrite prompt.
// Thread contract: user-interface thread.
#include "platform/core/types.h"

#include <functional>
#include <string>

namespace finishing {

struct SaveAsRequest {
    platform::WindowHandle owner = 0;
    std::string title;          // "Save As"
    std::string fileName;       // preset name
    std::string filter;         // "description|pattern||"
    std::string initialFolder;
};

// Shows the dialog modally; true with the chosen full path when confirmed with OK.
using ChooseSavePathFn = std::function<bool(const SaveAsRequest& request, std::string* path)>;

bool ShowSaveAsDialog(const SaveAsRequest& request, std::string* path);

// "AVI - Audio Video Interleaved(*.avi)|*.avi||" -> "AVI - Audio Video Interleaved(*.avi) (*.avi)".
std::string QtNameFilter(const std::string& filter);

// Rejects every Save As dialog ShowSaveAsDialog has open (user-interface thread).
void CloseSaveAsDialogs();

}  // namespace finishing
