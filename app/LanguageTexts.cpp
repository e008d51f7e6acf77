#include "app/LanguageTexts.h"

#include "app/Log.h"
#include "app/Md5.h"
#include "app/XmlUtil.h"

#include <cctype>
#include <mutex>
#include <unordered_map>

namespace LanguageDatabase {

namespace {

struct Entry {
    std::string text;
    bool override = false;
};

struct Database {
    std::mutex lock;
    std::vector<LanguageInfo> languages;
    std::string current = "en";
    std::unordered_map<std::string, Entry> texts;
    std::function<void()> onLoaded;
};

Database& TheDatabase()
{
    static Database db;
    return db;
}

bool IsValidCode(const std::string& code)
{
    if (code.empty() || code.size() > 16)
        return false;
    for (unsigned char c : code)
        if (!std::isalnum(c) && c != '-' && c != '_')
            return false;
    return true;
}

XmlDocument LoadGameXml(const std::string& path)
{
    XmlDocument doc = XmlLoadFile(path);
    if (!doc)
        doc = XmlLoadUserFile(path);
    return doc;
}

} // namespace

bool LoadSpecification(const std::string& path)
{
    XmlDocument doc = LoadGameXml(path);
    xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
    if (!root) {
        WriteLog("LanguageDatabase: cannot read [%s]\n", path.c_str());
        return false;
    }
    std::vector<LanguageInfo> languages;
    for (xmlNode* node = XmlChildren(root); node; node = XmlNext(node)) {
        if (XmlName(node) != "language")
            continue;
        const char* code = XmlGetAttrValue(node, "code");
        const char* table = XmlGetAttrValue(node, "table");
        const char* charset = XmlGetAttrValue(node, "charset");
        if (!code || !table || !IsValidCode(code)) {
            WriteLog("LanguageDatabase: language entry without a valid code or table skipped\n");
            continue;
        }
        languages.push_back({code, table, charset ? charset : "UTF-8"});
    }
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    db.languages = std::move(languages);
    return true;
}

bool SetLanguage(const std::string& code)
{
    Database& db = TheDatabase();
    std::unordered_map<std::string, Entry> texts;
    bool loaded = false;
    const std::optional<LanguageInfo> info = FindLanguage(code);
    if (!info) {
        WriteLog("LanguageDatabase: unknown language [%s]\n", code.c_str());
    } else {
        XmlDocument doc = LoadGameXml(info->table);
        xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
        if (!root) {
            WriteLog("LanguageDatabase: cannot read [%s]\n", info->table.c_str());
        } else {
            for (xmlNode* node = XmlChildren(root); node; node = XmlNext(node)) {
                const char* key = XmlGetAttrValue(node, "key");
                if (XmlName(node) != "text" || !key)
                    continue;
                texts[key] = Entry{XmlNodeText(node), XmlGetAttr(node, "override") != nullptr};
            }
            loaded = true;
        }
    }
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> guard(db.lock);
        db.current = IsValidCode(code) ? code : "en";
        db.texts = std::move(texts);
        handler = db.onLoaded;
    }
    if (handler)
        handler();
    return loaded;
}

int GetLanguageCount()
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    return static_cast<int>(db.languages.size());
}

std::string GetLanguageCode(int index)
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    return index >= 0 && index < static_cast<int>(db.languages.size()) ? db.languages[index].code : std::string();
}

std::optional<LanguageInfo> FindLanguage(const std::string& code)
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    for (const LanguageInfo& info : db.languages)
        if (info.code == code)
            return info;
    return std::nullopt;
}

int GetCurrentLanguageIndex()
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    for (size_t i = 0; i < db.languages.size(); ++i)
        if (db.languages[i].code == db.current)
            return static_cast<int>(i);
    return -1;
}

std::string CurrentLanguage()
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    return db.current;
}

bool FindText(const std::string& key, std::string& text, bool* isOverride)
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    auto it = db.texts.find(key);
    if (it == db.texts.end())
        return false;
    text = it->second.text;
    if (isOverride)
        *isOverride = it->second.override;
    return true;
}

std::string AllTexts()
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    std::string all;
    for (const auto& [key, entry] : db.texts)
        all += entry.text;
    return all;
}

std::vector<LanguageListEntry> LanguageList()
{
    std::vector<LanguageListEntry> list;
    const int count = GetLanguageCount();
    for (int i = 0; i < count; ++i) {
        std::string code = GetLanguageCode(i);
        code[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(code[0])));
        const std::string key = "la_" + code;
        std::string caption;
        if (!FindText(key, caption))
            caption = key;
        list.push_back({caption, i});
    }
    return list;
}

void SetLanguageLoadedHandler(std::function<void()> handler)
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    db.onLoaded = std::move(handler);
}

void Reset()
{
    Database& db = TheDatabase();
    std::lock_guard<std::mutex> guard(db.lock);
    db.languages.clear();
    db.texts.clear();
    db.current = "en";
}

} // namespace LanguageDatabase

std::string TextKey(const std::string& english)
{
    return Md5Hex(english).substr(0, 8);
}

std::string TranslateText(const std::string& english, const char* fallback)
{
    std::string text;
    bool isOverride = false;
    if (LanguageDatabase::FindText(TextKey(english), text, &isOverride) &&
        (isOverride || LanguageDatabase::CurrentLanguage() != "en"))
        return text;
    return fallback ? std::string(fallback) : english;
}

std::string ConvertCaptionText(int fontKind, const std::string& text)
{
    // The display face draws the plain letters; the table is where its alternates go.
    static constexpr char kLetterTable[24] = {'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm',
                                              'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y'};
    if ((fontKind != 4 && fontKind != 5 && fontKind != 9) || LanguageDatabase::CurrentLanguage() != "en")
        return text;
    std::string out = text;
    for (char& c : out)
        if (c >= 'b' && c <= 'y')
            c = kLetterTable[c - 'b'];
    return out;
}
