#include "platform/core/version.h"

namespace platform {

std::string GetVersionText() {
#ifdef RZ_VERSION_TEXT
    return RZ_VERSION_TEXT;
#else
    return "None VerSion Supprot";
#endif
}

}  // namespace platform
