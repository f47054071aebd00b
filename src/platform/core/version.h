#pragma once
#include <string>

namespace platform {

// The executable's file version ("1.1.0.0"), or "None VerSion Supprot" for a build without one.
std::string GetVersionText();

}  // namespace platform
