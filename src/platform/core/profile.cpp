#include "platform/core/profile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Section name of a "[name]" line, or false.
bool SectionOf(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// Key and raw value of a "key=value" line, or false.
bool KeyOf(const std::string& line, std::string* key, std::string* value) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(line.substr(0, eq));
    if (value) *value = line.substr(eq + 1);
    return !key->empty();
}

bool Lookup(const std::vector<std::string>& lines, const char* section, const char* key,
            std::string* value) {
    bool inSection = false;
    for (const auto& line : lines) {
        std::string name;
        if (SectionOf(line, &name)) {
            inSection = SameName(name, section);
            continue;
        }
        std::string k, v;
        if (inSection && KeyOf(line, &k, &v) && SameName(k, key)) {
            v = Trim(v);
            if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') ||
                                  (v.front() == '\'' && v.back() == '\'')))
                v = v.substr(1, v.size() - 2);
            *value = v;
            return true;
        }
    }
    return false;
}

bool WriteLines(const std::vector<std::string>& lines, const std::string& file) {
    if (access(file.c_str(), F_OK) == 0 && access(file.c_str(), W_OK) != 0) return false;
    std::string tmp = file + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const auto& line : lines) out << line << "\n";
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), file.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int GetPrivateProfileString(const char* section, const char* key, const char* def, char* buffer,
                            int size, const std::string& file) {
    if (!buffer || size <= 0) return 0;
    std::string value;
    if (!section || !key || !Lookup(ReadLines(file), section, key, &value))
        value = Trim(def ? def : "");
    int n = static_cast<int>(std::min<std::size_t>(value.size(), size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& file) {
    if (!section || !key) return false;
    std::vector<std::string> lines = ReadLines(file);
    std::string entry = std::string(key) + "=" + (value ? value : "");

    bool inSection = false;
    std::ptrdiff_t sectionEnd = -1;  // index after the last non-blank line of the section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionOf(lines[i], &name)) {
            if (inSection) break;
            inSection = SameName(name, section);
            if (inSection) sectionEnd = static_cast<std::ptrdiff_t>(i) + 1;
            continue;
        }
        if (!inSection) continue;
        std::string k;
        if (KeyOf(lines[i], &k, nullptr) && SameName(k, key)) {
            lines[i] = entry;
            return WriteLines(lines, file);
        }
        if (!Trim(lines[i]).empty()) sectionEnd = static_cast<std::ptrdiff_t>(i) + 1;
    }
    if (sectionEnd >= 0) {
        lines.insert(lines.begin() + sectionEnd, entry);
    } else {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    }
    return WriteLines(lines, file);
}

}  // namespace platform
