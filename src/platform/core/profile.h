#pragma once
// Private-profile INI files: the read and write calls with the semantics the recorder expects.
// Sections and keys match without regard to case, the first match wins, values are trimmed and
// lose one pair of surrounding quotes on read. A write replaces the key in place, or appends the
// key to its section, or appends the section; the file is created on the first write and every
// other line is kept.
#include <string>

namespace platform {

// Copies the value (or `def` when the section or key is missing; null means "") into `buffer`
// of `size` characters, cutting it to size - 1. Returns the number of characters copied.
int GetPrivateProfileString(const char* section, const char* key, const char* def, char* buffer,
                            int size, const std::string& file);

// False when the file cannot be written; the file is then unchanged.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& file);

}  // namespace platform
