#include "game/FlimbMasterLevelList.h"

#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/GameServices.h"
#include "game/LevelFile.h"
#include "game/LevelNames.h"
#include "game/LevelSections.h"
#include "gui/MessageBox.h"
#include "media/DXManager.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>

namespace {

std::string WithoutCharacters(std::string text, const char* characters)
{
    text.erase(std::remove_if(text.begin(), text.end(),
                              [characters](char c) { return std::strchr(characters, c) != nullptr; }),
               text.end());
    return text;
}

// The level name without a trailing ".flevel", in lower case, for comparing.
std::string ComparableLevelName(const std::string& name)
{
    std::string lower = ToLowerAscii(name);
    if (EndsWithNoCase(lower, kLevelExtension))
        lower.erase(lower.size() - std::strlen(kLevelExtension));
    return lower;
}

void ReportInvalidFile(const std::string& path)
{
    WriteLog("Invalid FlimbMaster File: %s\n", path.c_str());
    if (DXManager::GetDevice())
        ShowMessageBox("Error", "Invalid FlimbMaster File");
}

bool IsLevelTrap(xmlNode* trap, xmlNode* defaults)
{
    return XmlGetTagText(trap, "type", defaults) == "Level";
}

} // namespace

FlimbMasterLevelList& FlimbMasterLevelList::Global()
{
    static FlimbMasterLevelList list;
    return list;
}

void FlimbMasterLevelList::Load(bool userLevels)
{
    if (userLevels) {
        if (userLevelsAdded)
            return;
        userLevelsAdded = true;
        LoadFolder("Level\\UGC\\", true);
    } else {
        LoadFolder("Level\\", false);
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return a->minPoints < b->minPoints; });
}

void FlimbMasterLevelList::LoadFolder(const std::string& folder, bool userLevels)
{
    if (!fileManager)
        return;
    xmlNode* defaults = LevelDefaultsElement("traps", "trap");
    std::vector<std::string> names;
    fileManager->ListFiles(folder + LevelKindLetter(kLevelFlimbMaster) + "_*" + kLevelExtension, names, 3);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + name;
        try {
            auto entry = std::make_unique<FlimbMasterEntry>();
            ReadLevelSummary(path, entry->summary);
            entry->document = XmlLoadFile(path);
            xmlNode* root = XmlRoot(entry->document.get());
            if (!root) {
                ReportInvalidFile(path);
                continue;
            }
            xmlNode* typeNode = XmlFindNodeWithAttr(root, "type", "FlimbMaster");
            xmlNode* trap = typeNode ? typeNode->parent : nullptr;
            if (!trap || !XmlGetTagBool(trap, "enabled", defaults))
                continue;
            auto text = [&](const char* key) { return XmlGetTagText(trap, key, defaults); };
            auto number = [&](const char* key, const char* second = nullptr) {
                return XmlGetTagInt(trap, key, defaults, 0, second);
            };
            FlimbMasterEntry& e = *entry;
            e.bossName = text("flimbmaster_name");
            e.hidden = XmlGetTagBool(trap, "fm_hidden", defaults);
            e.longitude = number("longitude");
            e.latitude = number("lattitude", "latitude");
            e.elevation = number("elevation");
            e.planetId = number("planet_id");
            e.image = text("image_filename");
            e.hudShield = text("hud_shield_image");
            e.imageWinLarge = text("image_win_large");
            e.imageWinSmall = text("image_win_small");
            e.imageLoseLarge = text("image_lose_large");
            e.imageLoseSmall = text("image_lose_small");
            e.textWinLarge = text("text_win_large");
            e.textWinSmall = text("text_win_small");
            e.textLoseLarge = text("text_lose_large");
            e.textLoseSmall = text("text_lose_small");
            e.welcome = text("welcome_message");
            e.minPoints = number("minpoints");
            e.minFragments = number("minfragments");
            e.silhouette = ReplaceAll(e.image, ".png", "_silhouette.png");
            e.videoBaseName = WithoutCharacters(e.bossName, " .");
            e.levelFileName = WithoutCharacters(name, " ");
            e.introVideo = "Graphics\\Videos\\" + e.videoBaseName + "-intro.ogv";
            e.outroVideo = "Graphics\\Videos\\" + e.videoBaseName + "-outro.ogv";
            xmlNode* traps = XmlGetChild(XmlChildren(root), "traps");
            for (xmlNode* levelTrap : LevelSectionElements(traps, "trap")) {
                if (!IsLevelTrap(levelTrap, defaults))
                    continue;
                ++e.levelTrapCount;
                if (e.finalLevel.empty() && XmlGetTagBool(levelTrap, "final_level", defaults))
                    e.finalLevel = XmlGetTagText(levelTrap, "level_filename", defaults);
            }
            e.fromUserLevels = userLevels;
            entries_.push_back(std::move(entry));
        } catch (const std::exception& e) {
            WriteLog("WARNING: FlimbMaster level %s skipped: %s\n", path.c_str(), e.what());
        }
    }
}

void FlimbMasterLevelList::Clear()
{
    entries_.clear();
    userLevelsAdded = false;
}

void FlimbMasterLevelList::RemoveUserLevels()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const auto& e) { return e->fromUserLevels; }),
                   entries_.end());
    userLevelsAdded = false;
}

void FlimbMasterLevelList::LoadWhenEmpty()
{
    if (entries_.empty())
        Load(false);
}

const FlimbMasterEntry* FlimbMasterLevelList::FindByBossName(const std::string& name)
{
    LoadWhenEmpty();
    for (const auto& entry : entries_)
        if (entry->bossName == name)
            return entry.get();
    return nullptr;
}

const FlimbMasterEntry* FlimbMasterLevelList::FindByLevelFileName(const std::string& fileName)
{
    LoadWhenEmpty();
    for (const auto& entry : entries_)
        if (entry->levelFileName == fileName)
            return entry.get();
    return nullptr;
}

const FlimbMasterEntry* FlimbMasterLevelList::FindBossOfLevel(const std::string& levelName)
{
    LoadWhenEmpty();
    const std::string wanted = ComparableLevelName(GetFileTitle(levelName, false));
    xmlNode* defaults = LevelDefaultsElement("traps", "trap");
    for (const auto& entry : entries_) {
        xmlNode* traps = XmlGetChild(XmlChildren(XmlRoot(entry->document.get())), "traps");
        for (xmlNode* trap : LevelSectionElements(traps, "trap")) {
            try {
                if (!IsLevelTrap(trap, defaults))
                    continue;
                if (!XmlGetChild(XmlChildren(trap), "level_filename") &&
                    !XmlGetChild(XmlChildren(defaults), "level_filename")) {
                    WriteLog("WARNING: a Level trap of %s names no level_filename; skipped\n",
                             entry->levelFileName.c_str());
                    continue;
                }
                if (ComparableLevelName(XmlGetTagText(trap, "level_filename", defaults)) == wanted)
                    return entry.get();
            } catch (const GameException& e) {
                WriteLog("WARNING: a trap of %s skipped: %s\n", entry->levelFileName.c_str(), e.what());
            }
        }
    }
    return nullptr;
}

int FlimbMasterLevelList::BossPosition(const std::string& levelName)
{
    const FlimbMasterEntry* boss = FindBossOfLevel(levelName);
    for (size_t i = 0; boss && i < entries_.size(); ++i)
        if (entries_[i].get() == boss)
            return int(i);
    return -1;
}

std::vector<const FlimbMasterEntry*> FlimbMasterLevelList::NewlyUnlocked(int32_t pointsGained, int32_t fragmentsGained,
                                                                         int32_t currentPoints,
                                                                         int32_t currentFragments) const
{
    std::vector<const FlimbMasterEntry*> unlocked;
    const int64_t points = currentPoints, fragments = currentFragments;
    for (const auto& entry : entries_) {
        const bool byPoints = entry->minPoints > points && entry->minPoints <= points + pointsGained &&
                              entry->minFragments <= fragments;
        const bool byFragments = entry->minFragments > fragments && entry->minFragments <= fragments + fragmentsGained &&
                                 entry->minPoints <= points;
        if (byPoints || byFragments)
            unlocked.push_back(entry.get());
    }
    return unlocked;
}

std::vector<const FlimbMasterEntry*> FlimbMasterLevelList::NewlyUnlocked(int32_t pointsGained,
                                                                         int32_t fragmentsGained) const
{
    const SingleplayerTotals totals = CurrentProfile().LoadSingleplayerTotals();
    return NewlyUnlocked(pointsGained, fragmentsGained, totals.pointsTotal, totals.medallionTotal);
}

bool FlimbMasterLevelList::IntroVideoPresent(const FlimbMasterEntry& entry)
{
    return fileManager && fileManager->Exists(entry.introVideo, -1);
}

bool FlimbMasterLevelList::OutroVideoPresent(const FlimbMasterEntry& entry)
{
    return fileManager && fileManager->Exists(entry.outroVideo, -1);
}
