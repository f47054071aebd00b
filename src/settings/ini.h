#pragma once
// CIni: a reader bound to one INI file. Writing goes straight through the platform's
// private-profile write call.
#include <cstdint>
#include <memory>
#include <string>

namespace settings {

class CIni {
public:
    explicit CIni(const std::string& path);

    // The whole value of section/key, or `def` (null means "") when it is missing or empty;
    // a null section or key yields `def`.
    std::string GetString(const char* section, const char* key, const char* def) const;
    // Flag reading: empty → def; "true"/"yes" in any case → 1; else non-zero number → 1.
    std::int32_t GetBool(const char* section, const char* key, std::int32_t def) const;
    // Integer reading: the first 64 bytes as an unsigned decimal number wrapping to 32 bits
    // (so a negative number reads back unchanged); empty → def; no digits → 0.
    std::int32_t GetInt(const char* section, const char* key, std::int32_t def) const;

private:
    std::string path_;
};

// Conversion used by the integer reading, exposed for its edge cases.
std::int32_t ParseIniInteger(const std::string& text);

}  // namespace settings
