#include "platform/ui/optional_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace platform {

void* FindOptionalSymbol(const std::string& path, const char* symbol) {
    struct stat st {};
    if (path.empty() || !symbol || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    // Never closed: the process exit unloads it.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    return ::dlsym(library, symbol);
}

}  // namespace platform
