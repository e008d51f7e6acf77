#pragma once
// The campaign's bosses: the FlimbMaster levels (level files "f_*.flevel" whose enabled
// FlimbMaster trap names the boss) with the boss's settings and the level's parsed
// document, sorted by the points a player needs. One global list, filled on first use.
#include "app/XmlUtil.h"
#include "levelmodel/LevelChooserEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FlimbMasterEntry {
    std::string bossName;      // "flimbmaster_name"
    std::string videoBaseName; // the boss name without spaces and dots
    std::string levelFileName; // the level's file name without spaces
    std::string image;         // "image_filename"
    std::string silhouette;    // the image with "_silhouette.png" for ".png"
    std::string hudShield;     // "hud_shield_image"
    std::string imageWinLarge, imageWinSmall, imageLoseLarge, imageLoseSmall;
    std::string textWinLarge, textWinSmall, textLoseLarge, textLoseSmall;
    std::string welcome;
    std::string introVideo; // "Graphics\Videos\<base>-intro.ogv"
    std::string outroVideo;
    std::string finalLevel; // "level_filename" of the Level trap marked "final_level"
    int32_t levelTrapCount = 0;
    XmlDocument document;
    int32_t longitude = 0, latitude = 0, elevation = 0, planetId = 0;
    int32_t minPoints = 0, minFragments = 0;
    bool hidden = false;
    bool fromUserLevels = false;
    LevelChooserEntry summary;
};

class FlimbMasterLevelList {
public:
    static FlimbMasterLevelList& Global();

    // Adds the boss levels of Level\ (user levels: of Level\UGC\, once until removed).
    // A file that cannot be read is reported ("Invalid FlimbMaster File") and left out.
    void Load(bool userLevels);
    void Clear();
    // Drops the entries from user levels; they load again on the next Load(true).
    void RemoveUserLevels();

    // Each loads the list first when it is empty; null when nothing matches.
    const FlimbMasterEntry* FindByBossName(const std::string& name);
    const FlimbMasterEntry* FindByLevelFileName(const std::string& fileName);
    // The boss one of whose Level traps names the level (its file title, case ignored).
    const FlimbMasterEntry* FindBossOfLevel(const std::string& levelName);
    // That boss's place in the list (from 0), -1 when no boss lists the level.
    int BossPosition(const std::string& levelName);

    // The bosses that points or fragments just gained unlock, from the given totals (the
    // overload without them reads the player's profile).
    std::vector<const FlimbMasterEntry*> NewlyUnlocked(int32_t pointsGained, int32_t fragmentsGained,
                                                       int32_t currentPoints, int32_t currentFragments) const;
    std::vector<const FlimbMasterEntry*> NewlyUnlocked(int32_t pointsGained, int32_t fragmentsGained) const;

    static bool IntroVideoPresent(const FlimbMasterEntry& entry);
    static bool OutroVideoPresent(const FlimbMasterEntry& entry);

    const std::vector<std::unique_ptr<FlimbMasterEntry>>& Entries() const { return entries_; }
    bool userLevelsAdded = false;

private:
    void LoadFolder(const std::string& folder, bool userLevels);
    void LoadWhenEmpty();

    std::vector<std::unique_ptr<FlimbMasterEntry>> entries_;
};
