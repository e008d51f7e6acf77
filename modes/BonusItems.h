#pragma once
// Bonus items: decorations, stamps and bonus levels a single player earns by passing
// statistic thresholds or by beating given levels. Their definitions come from
// "Data\bonus_items.xml", read once at start-up into one list kept in ascending order; the
// player profile keeps which of them are unlocked.
#include "modes/MatchEffects.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BonusItemInfo {
    enum Type : int32_t { kDecoration = 0, kStamp = 1, kLevel = 2 };

    std::string id;           // unique; the profile's key and, with "ACH_", its achievement
    int32_t minQdots = 0;     // thresholds on the profile's totals; -1 when absent
    int32_t minPoints = 0;
    int32_t minFragments = 0; // medallions
    std::string levelBeaten;  // a level whose completion unlocks the item; empty when none
    std::string description;
    std::string awardMessage;
    std::string filePath;     // the decoration's or stamp's image, or the bonus level
    int32_t type = 0;
    int32_t order = 0;        // the list's sort key

    // "Decoration", "Stamp", "Level" (exact case) give 0, 1, 2; anything else -1.
    static int32_t TypeFromName(const std::string& name);
    // The word of a type; "" outside the table.
    static const char* TypeName(int32_t type);
    static bool OrderLess(const BonusItemInfo& a, const BonusItemInfo& b) { return a.order < b.order; }
};

// The statistic a gain counts in.
enum class BonusStat : int32_t { kPoints = 0, kQdots = 1, kMedallions = 2, kLevelBeaten = 3 };

namespace BonusItemList {

// Reads "Data\bonus_items.xml". No document or no root element throws GameException
// "Invalid bonus item file"; an item without its description, award_msg or filepath throws
// the tag reader's message. An item of an unknown type is skipped, one with no condition
// dropped. A failed load leaves the list as it was.
void Load();
const std::vector<BonusItemInfo>& Items();
// Empties the list (program exit, tests).
void Clear();

// The first item, in list order, that a gain crosses and the profile does not have yet
// (stats 0 .. 2 compare the profile's totals before the gain; stat 3 the level beaten).
bool FindNewlyEarned(int32_t gain, const std::string& levelName, BonusStat stat, BonusItemInfo& out);
bool FindForBeatenLevel(const std::string& levelName, BonusItemInfo& out);
// Whether the first Level item with that file (case ignored) is unlocked in the profile.
bool IsLevelUnlocked(const std::string& levelPath);
// A copy of the first item with the id (exact), or an empty record.
BonusItemInfo FindById(const std::string& id);
// Appends a copy of every decoration, in list order.
void CollectDecorations(std::vector<BonusItemInfo>& out);
// Removes the profile's "bonus" section, then unlocks every item in list order.
void UnlockAll();

// The position of the boss level that lists a level file, -1 when none: the FlimbMaster
// level list installs it (an item unlocked by beating a level sorts after that boss).
void SetBossLevelLookup(std::function<int(const std::string& levelFile)> lookup);

} // namespace BonusItemList

// What a finished single-player level added to the profile's totals.
struct BonusGains {
    int32_t points = 0;
    int32_t qdots = 0;
    int32_t medallions = 0;
};
// Unlocks in the profile what the gains and a passed level earn (one item per statistic
// and one for the level) and gives the pop-ups that announce them. Call it before the
// gains are added to the profile's totals.
std::vector<EndOfLevelPopup> UnlockEarnedBonusItems(const std::string& levelPath, bool passed, const BonusGains& gains);
