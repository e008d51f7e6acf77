#include "modes/BonusItems.h"

#include "app/ConsoleParam.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* kItemFile = "Data\\bonus_items.xml";
constexpr const char* kTypeWords[] = {"Decoration", "Stamp", "Level"};

std::vector<BonusItemInfo>& List()
{
    static std::vector<BonusItemInfo> items;
    return items;
}

std::function<int(const std::string&)>& BossLookup()
{
    static std::function<int(const std::string&)> lookup;
    return lookup;
}

std::string Attribute(const xmlNode* node, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    return value ? value : "";
}

// A threshold: -1 when absent, else its leading decimal number (atoi).
int32_t Threshold(const xmlNode* node, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    return value ? int32_t(std::atoi(value)) : -1;
}

int32_t OrderOf(const BonusItemInfo& item)
{
    if (item.minQdots != -1)
        return item.minQdots;
    if (item.minPoints != -1)
        return item.minPoints / 10;
    if (item.minFragments != -1)
        return item.minFragments * 10;
    if (!item.levelBeaten.empty() && BossLookup()) {
        const int position = BossLookup()(item.levelBeaten);
        return position >= 0 ? position * 10 + 5 : 0;
    }
    return 0;
}

// The file name of a level path or name.
std::string LevelFileName(const std::string& level)
{
    const size_t slash = level.find_last_of("\\/");
    return slash == std::string::npos ? level : level.substr(slash + 1);
}

int32_t Total(const SingleplayerTotals& totals, BonusStat stat)
{
    switch (stat) {
    case BonusStat::kPoints: return totals.pointsTotal;
    case BonusStat::kQdots: return totals.qdotsTotal;
    case BonusStat::kMedallions: return totals.medallionTotal;
    default: return 0;
    }
}

int32_t ThresholdFor(const BonusItemInfo& item, BonusStat stat)
{
    switch (stat) {
    case BonusStat::kPoints: return item.minPoints;
    case BonusStat::kQdots: return item.minQdots;
    case BonusStat::kMedallions: return item.minFragments;
    default: return -1;
    }
}

void GiveAll(ConsoleParam&)
{
    BonusItemList::UnlockAll();
    CurrentProfile().Save();
    WriteLog("All bonus items unlocked\n");
}

ConsoleParam g_giveAll("giveall", ConsoleParamType::Command, "", "unlock all bonus items", GiveAll);

} // namespace

int32_t BonusItemInfo::TypeFromName(const std::string& name)
{
    for (int32_t type = 0; type < 3; ++type)
        if (name == kTypeWords[type])
            return type;
    return -1;
}

const char* BonusItemInfo::TypeName(int32_t type)
{
    return type >= 0 && type < 3 ? kTypeWords[type] : "";
}

namespace BonusItemList {

void Load()
{
    XmlDocument doc = XmlLoadFile(kItemFile);
    xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
    if (!root)
        throw GameException("Invalid bonus item file");
    std::vector<BonusItemInfo> items;
    for (xmlNode* node = XmlGetChild(XmlChildren(root), "item"); node; node = XmlGetChild(XmlNext(node), "item")) {
        BonusItemInfo item;
        item.type = BonusItemInfo::TypeFromName(Attribute(node, "type"));
        if (item.type < 0) {
            WriteLog("WARNING: bonus item [%s] of unknown type [%s] skipped\n", Attribute(node, "id").c_str(),
                     Attribute(node, "type").c_str());
            continue;
        }
        item.id = Attribute(node, "id");
        item.minQdots = Threshold(node, "min_qdots");
        item.minPoints = Threshold(node, "min_points");
        item.minFragments = Threshold(node, "min_fragments");
        item.levelBeaten = Attribute(node, "level_beaten");
        item.description = XmlGetTagText(node, "description");
        item.awardMessage = XmlGetTagText(node, "award_msg");
        item.filePath = XmlGetTagText(node, "filepath");
        item.order = OrderOf(item);
        if (item.minQdots == -1 && item.minPoints == -1 && item.minFragments == -1 && item.levelBeaten.empty())
            continue;
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(), BonusItemInfo::OrderLess);
    List() = std::move(items);
}

const std::vector<BonusItemInfo>& Items()
{
    return List();
}

void Clear()
{
    List().clear();
}

bool FindNewlyEarned(int32_t gain, const std::string& levelName, BonusStat stat, BonusItemInfo& out)
{
    PlayerProfile& profile = CurrentProfile();
    const int32_t old = stat == BonusStat::kLevelBeaten ? 0 : Total(profile.LoadSingleplayerTotals(), stat);
    const std::string level = LevelFileName(levelName);
    for (const BonusItemInfo& item : List()) {
        if (stat == BonusStat::kLevelBeaten) {
            if (item.levelBeaten.empty() || !EqualsNoCase(LevelFileName(item.levelBeaten), level))
                continue;
        } else {
            const int32_t threshold = ThresholdFor(item, stat);
            if (old >= threshold || int64_t(old) + gain < threshold)
                continue;
        }
        if (profile.HasBonusItem(item.id))
            continue;
        out = item;
        return true;
    }
    return false;
}

bool FindForBeatenLevel(const std::string& levelName, BonusItemInfo& out)
{
    return FindNewlyEarned(0, levelName, BonusStat::kLevelBeaten, out);
}

bool IsLevelUnlocked(const std::string& levelPath)
{
    for (const BonusItemInfo& item : List())
        if (item.type == BonusItemInfo::kLevel && EqualsNoCase(item.filePath, levelPath))
            return CurrentProfile().HasBonusItem(item.id);
    return false;
}

BonusItemInfo FindById(const std::string& id)
{
    for (const BonusItemInfo& item : List())
        if (item.id == id)
            return item;
    return BonusItemInfo{};
}

void CollectDecorations(std::vector<BonusItemInfo>& out)
{
    for (const BonusItemInfo& item : List())
        if (item.type == BonusItemInfo::kDecoration)
            out.push_back(item);
}

void UnlockAll()
{
    PlayerProfile& profile = CurrentProfile();
    profile.ClearBonusItems();
    for (const BonusItemInfo& item : List())
        profile.AddBonusItem(UnlockedBonusItem{BonusItemInfo::TypeName(item.type), item.id});
}

void SetBossLevelLookup(std::function<int(const std::string& levelFile)> lookup)
{
    BossLookup() = std::move(lookup);
}

} // namespace BonusItemList

std::vector<EndOfLevelPopup> UnlockEarnedBonusItems(const std::string& levelPath, bool passed, const BonusGains& gains)
{
    std::vector<EndOfLevelPopup> popups;
    PlayerProfile& profile = CurrentProfile();
    const auto unlock = [&](const BonusItemInfo& item) {
        if (!profile.AddBonusItem(UnlockedBonusItem{BonusItemInfo::TypeName(item.type), item.id}))
            return;
        WriteLog("Bonus item [%s] unlocked\n", item.id.c_str());
        popups.push_back({EndOfLevelPopup::Kind::BonusItemUnlocked, item.description, item.filePath,
                          BonusItemInfo::TypeName(item.type), item.awardMessage});
    };
    BonusItemInfo item;
    const std::pair<BonusStat, int32_t> counted[] = {
        {BonusStat::kPoints, gains.points}, {BonusStat::kQdots, gains.qdots}, {BonusStat::kMedallions, gains.medallions}};
    for (const auto& [stat, gain] : counted)
        if (gain > 0 && BonusItemList::FindNewlyEarned(gain, levelPath, stat, item))
            unlock(item);
    if (passed && BonusItemList::FindForBeatenLevel(levelPath, item))
        unlock(item);
    return popups;
}
