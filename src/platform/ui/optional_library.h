#pragma once
// An optional shared library looked up once by path; a missing library or symbol gives null.
// Thread contract: any thread; the library stays loaded until the process exits.
#include <string>

namespace platform {

// The address of `symbol` in the library at `path`, loading it on first use; null when the file
// is absent, cannot be loaded, or lacks the symbol.
void* FindOptionalSymbol(const std::string& path, const char* symbol);

}  // namespace platform
