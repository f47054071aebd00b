#pragma once
// The translated text catalogue (libPhrasebook). Every call is safe from any thread. Texts are
// owned by the library and stay valid for the life of the process.

// Loads every translation file matching `pattern` ("Languages/*.xml"; a relative pattern is
// resolved against the program folder; '\' is read as '/'). A malformed file is skipped.
void LoadLanguageFiles(const char* pattern);
// Number of languages loaded so far.
int GetLanguageCount();
// Makes the language of that name current; an unknown name changes nothing.
void SelectLanguage(const char* name);
// The text of (section, key) in the current language; never null or empty. While no language is
// current (no translation file could be read, or "English" was not among them) the texts come
// from the English catalogue built into the library. A pair the catalogue lacks yields
// "[section.key]".
const char* GetText(const char* section, const char* key);
