#include "companions/phrasebook/phrasebook.h"

#include "platform/core/paths.h"

#include <QFile>
#include <pugixml.hpp>

#include <glob.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

namespace {

// section -> key -> text
using Texts = std::map<std::string, std::map<std::string, std::string>>;

struct Language {
    std::string name;
    Texts texts;
};

std::unique_ptr<Language> ParseDocument(const pugi::xml_document& doc);

// The English catalogue built into the library; parsed on first use.
const Language* BuiltInEnglish() {
    static const std::unique_ptr<Language> english = [] {
        QFile file(QStringLiteral(":/Languages/English.xml"));
        if (!file.open(QIODevice::ReadOnly)) return std::unique_ptr<Language>();
        const QByteArray bytes = file.readAll();
        pugi::xml_document doc;
        if (!doc.load_buffer(bytes.constData(), static_cast<std::size_t>(bytes.size())))
            return std::unique_ptr<Language>();
        return ParseDocument(doc);
    }();
    return english.get();
}

struct Catalogue {
    std::shared_mutex mutex;
    std::vector<std::unique_ptr<Language>> languages;  // never shrinks: texts stay valid
    const Language* current = nullptr;
    std::set<std::string> missing;  // stable storage for the texts of missing pairs
};

Catalogue& TheCatalogue() {
    static Catalogue catalogue;
    return catalogue;
}

std::unique_ptr<Language> ParseFile(const char* path) {
    pugi::xml_document doc;
    if (!doc.load_file(path)) return nullptr;
    return ParseDocument(doc);
}

std::unique_ptr<Language> ParseDocument(const pugi::xml_document& doc) {
    pugi::xml_node root = doc.child("Language");
    const char* name = root.attribute("name").value();
    if (!root || !*name) return nullptr;
    auto language = std::make_unique<Language>();
    language->name = name;
    for (pugi::xml_node section : root.children("Section")) {
        auto& keys = language->texts[section.attribute("name").value()];
        for (pugi::xml_node text : section.children("Text"))
            keys[text.attribute("key").value()] = text.text().get();
    }
    return language;
}

}  // namespace

void LoadLanguageFiles(const char* pattern) {
    if (!pattern) return;
    std::string p(pattern);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || p.front() != '/') p = platform::GetProgramFolder() + p;

    glob_t found{};
    if (glob(p.c_str(), 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) {
            auto language = ParseFile(found.gl_pathv[i]);
            if (!language) continue;
            Catalogue& c = TheCatalogue();
            std::unique_lock lock(c.mutex);
            c.languages.push_back(std::move(language));
        }
    }
    globfree(&found);
}

int GetLanguageCount() {
    Catalogue& c = TheCatalogue();
    std::shared_lock lock(c.mutex);
    return static_cast<int>(c.languages.size());
}

void SelectLanguage(const char* name) {
    if (!name) return;
    Catalogue& c = TheCatalogue();
    std::unique_lock lock(c.mutex);
    for (auto it = c.languages.rbegin(); it != c.languages.rend(); ++it)
        if ((*it)->name == name) {
            c.current = it->get();
            return;
        }
}

const char* GetText(const char* section, const char* key) {
    std::string s = section ? section : "";
    std::string k = key ? key : "";
    Catalogue& c = TheCatalogue();
    {
        std::shared_lock lock(c.mutex);
        if (const Language* language = c.current ? c.current : BuiltInEnglish()) {
            auto sec = language->texts.find(s);
            if (sec != language->texts.end()) {
                auto text = sec->second.find(k);
                if (text != sec->second.end() && !text->second.empty()) return text->second.c_str();
            }
        }
    }
    std::unique_lock lock(c.mutex);
    return c.missing.insert("[" + s + "." + k + "]").first->c_str();
}
