#pragma once
// The language texts: the list of languages in Data\lang_specification.xml and the text
// table of the current language, keyed by the first 8 hex digits of the MD5 of the
// English text. Texts are UTF-8.
//
// lang_specification.xml:
//   <languages>
//     <language code="en" table="Data\Lang\text_en.xml" charset="UTF-8"/> ...
//   </languages>
// A text table:
//   <texts>
//     <text key="la_de">Deutsch</text>
//     <text key="1a2b3c4d" override="yes">...</text> ...
//   </texts>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace LanguageDatabase {

struct LanguageInfo {
    std::string code;    // letters, digits, '-' and '_' only
    std::string table;   // game path of the text table
    std::string charset; // encoding of the texts for the fonts
};

// Reads the language list. False (and a log line) when the file is missing or broken.
bool LoadSpecification(const std::string& path = "Data\\lang_specification.xml");
// Makes `code` the current language and loads its text table (an unknown code or a broken
// table leaves an empty table). Runs the language-loaded handler afterwards.
bool SetLanguage(const std::string& code);

int GetLanguageCount();
std::string GetLanguageCode(int index);
std::optional<LanguageInfo> FindLanguage(const std::string& code);
// Index of the current language in the list, -1 when it is not listed.
int GetCurrentLanguageIndex();
std::string CurrentLanguage();

// The table's text for a key; false when the table has none.
bool FindText(const std::string& key, std::string& text, bool* isOverride = nullptr);
// Every text of the current table, concatenated (what the fonts must be able to draw).
std::string AllTexts();

struct LanguageListEntry {
    std::string caption; // the text for "la_<code>" (first character lower-cased), or that key
    int data;            // the language's index
};
std::vector<LanguageListEntry> LanguageList();

// Called after every language load (the flimb-type captions refresh themselves here).
void SetLanguageLoadedHandler(std::function<void()> handler);

// Empties the list and the table; the language becomes "en".
void Reset();

} // namespace LanguageDatabase

// Key of an English text: the first 8 hex digits (lower case) of its MD5.
std::string TextKey(const std::string& english);

// The text to show for an English text: the table's entry when it is marked "override" or
// the language is not "en"; otherwise the fallback when given, else the English text.
std::string TranslateText(const std::string& english, const char* fallback = nullptr);

// Font kinds whose captions go through the display face's letter table while the
// language is "en".
std::string ConvertCaptionText(int fontKind, const std::string& text);
