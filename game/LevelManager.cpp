#include "game/LevelManager.h"

#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/LevelFile.h"
#include "game/LevelNames.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ReadSummary(const std::string& path, LevelChooserEntry& entry)
{
    std::string reason = "not a level";
    try {
        if (ReadLevelSummary(path, entry))
            return true;
    } catch (const std::exception& error) {
        reason = error.what();
    }
    WriteLog("WARNING: the level summary of %s could not be read: %s\n", path.c_str(), reason.c_str());
    return false;
}

std::string WithLevelExtension(const std::string& name)
{
    return EndsWithNoCase(name, ".flevel") ? name : name + ".flevel";
}

// The playback folder lies in the user folders, which the file manager need not serve: it
// is listed on the disk, in name order.
std::vector<std::string> PlaybackFiles(const std::string& levelPath)
{
    std::vector<std::string> names;
    const std::string pattern = GetFileTitle(levelPath, true) + "*.flimbs";
    std::error_code error;
    for (fs::directory_iterator it(GetUserPath(PlaybackFolder()), error), end; !error && it != end;
         it.increment(error)) {
        const std::string leaf = it->path().filename().string();
        std::error_code kind;
        if (it->is_regular_file(kind) && WildcardMatchNoCase(pattern, leaf))
            names.push_back(leaf);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

void LevelManager::Refresh()
{
    const auto started = std::chrono::steady_clock::now();
    uint32_t generation = gameClock.Now();
    // Every refresh has a generation of its own, above the last and never 0.
    if (generation <= lastGeneration_)
        generation = lastGeneration_ + 1;
    lastGeneration_ = generation;
    WriteLog("LevelManager.. ");
    std::vector<std::string> names;
    if (fileManager)
        fileManager->ListFiles("Level\\*.flevel", names, 2);
    for (const std::string& name : names)
        LoadLevelInfo("Level\\" + name, generation);
    std::erase_if(entries_, [&](const auto& item) { return item.second->generation < generation; });
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    WriteLog(" refreshed %d\n", static_cast<int>(elapsed));
}

const LevelChooserEntry* LevelManager::LoadLevelInfo(const std::string& path, uint32_t generation)
{
    const std::string key = Lower(GetFileTitle(path, false));
    if (key == kEditorTestLevel || !fileManager)
        return nullptr;
    int handle = fileManager->Open(path);
    if (!handle) {
        // A file written since the names were indexed is indexed now.
        fileManager->IndexNames(nullptr, 0, path.c_str());
        handle = fileManager->Open(path);
    }
    auto found = entries_.find(key);
    if (!handle) {
        if (found != entries_.end())
            entries_.erase(found);
        return nullptr;
    }
    FileTime fileTime = 0;
    fileManager->GetFileTime(&fileTime, handle);
    fileManager->Close(handle);
    Entry* entry = found != entries_.end() ? found->second.get() : nullptr;
    if (!entry) {
        auto made = std::make_unique<Entry>();
        if (!ReadSummary(path, made->summary))
            return nullptr;
        made->summary.fileTime = fileTime;
        made->summary.inUserFolder = fileManager->Exists(path, 2) ? 1 : 0;
        made->generation = generation;
        made->reads = 1;
        entry = made.get();
        entries_[key] = std::move(made);
    } else if (fileTime > entry->summary.fileTime) {
        LevelChooserEntry fresh;
        if (ReadSummary(path, fresh)) {
            fresh.fileTime = fileTime;
            fresh.inUserFolder = entry->summary.inUserFolder;
            entry->summary = fresh;
            ++entry->reads;
        }
    }
    if (generation != 0)
        entry->generation = generation;
    return &entry->summary;
}

void LevelManager::Search(const std::string& text, std::vector<const LevelChooserEntry*>& found)
{
    Refresh();
    const std::string wanted = Lower(text);
    for (const auto& [key, entry] : entries_)
        if (Lower(entry->summary.name).find(wanted) != std::string::npos)
            found.push_back(&entry->summary);
}

void LevelManager::ResolveLevel(const std::string& name, LevelChooserEntry& out)
{
    if (name.find("editor-test-level") != std::string::npos) {
        LevelChooserEntry entry;
        if (ReadSummary(std::string("Level\\") + kEditorTestLevel, entry))
            out = entry;
        return;
    }
    std::string path = WithLevelExtension(name);
    if (!StartsWithNoCase(path, "Level\\"))
        path = "Level\\" + path;
    if (const LevelChooserEntry* entry = LoadLevelInfo(path, 0))
        out = *entry;
}

bool LevelManager::HasPlaybacks(const std::string& levelPath)
{
    return !PlaybackFiles(levelPath).empty();
}

std::vector<std::string> LevelManager::ListPlaybacks(const std::string& levelPath)
{
    return PlaybackFiles(levelPath);
}

std::string LevelManager::GetPreviewPath(const std::string& name)
{
    std::string title = GetFileTitle(name, true);
    if (name.find(".flimbs") != std::string::npos && title.size() > 4)
        title.resize(title.size() - 4);
    return StringPrintf("Cache\\Previews\\%s.jpg", title.c_str());
}

LevelManager& Levels()
{
    static LevelManager manager;
    return manager;
}
