#include "settings/ini.h"

#include "platform/core/profile.h"

#include <cctype>
#include <strings.h>
#include <vector>

namespace settings {

namespace {
constexpr std::size_t kCut = 64;
constexpr int kChunk = 512;
}  // namespace

CIni::CIni(const std::string& path) : path_(path) {}

std::string CIni::GetString(const char* section, const char* key, const char* def) const {
    if (!section || !key) return def ? def : "";
    std::vector<char> buffer(kChunk + 1);
    for (;;) {
        int n = platform::GetPrivateProfileString(section, key, def ? def : "", buffer.data(),
                                                  static_cast<int>(buffer.size()), path_);
        if (static_cast<std::size_t>(n) + 1 < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() + kChunk);
    }
}

std::int32_t ParseIniInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::int32_t CIni::GetBool(const char* section, const char* key, std::int32_t def) const {
    std::string value = GetString(section, key, nullptr).substr(0, kCut);
    if (value.empty()) return def;
    if (strcasecmp(value.c_str(), "true") == 0 || strcasecmp(value.c_str(), "yes") == 0) return 1;
    return ParseIniInteger(value) != 0 ? 1 : 0;
}

std::int32_t CIni::GetInt(const char* section, const char* key, std::int32_t def) const {
    std::string value = GetString(section, key, nullptr).substr(0, kCut);
    if (value.empty()) return def;
    return ParseIniInteger(value);
}

}  // namespace settings
