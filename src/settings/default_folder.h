#pragma once
// The automatic output folder used when AutoSaveDir is empty or not an existing folder.
#include "platform/core/paths.h"

#include <string>

namespace settings {

// "<documents>/Velmora Zudodo Raridevi" (not created here).
inline std::string DefaultAutoSaveDir() {
    return platform::DocumentsFolder() + "/Velmora Zudodo Raridevi";
}

}  // namespace settings
