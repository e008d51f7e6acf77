#include "traps_flow/UnlockTrap.h"

#include "app/PlayerProfile.h"
#include "app/XmlUtil.h"
#include "game/FlimbMasterLevelList.h"
#include "game/GameServices.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/StateHash.h"

#include <algorithm>

namespace {

constexpr int32_t kUnlockKind = 48;
const TrapKindRegistration registration(kUnlockKind, [] { return std::unique_ptr<Trap>(new UnlockTrap); });

} // namespace

UnlockTrap::UnlockTrap() : Trap(kUnlockKind)
{
    LoadGraphics();
}

bool UnlockTrap::MapLevelPassed(const std::string& mapFile)
{
    // The list keys its levels by file name without spaces.
    std::string key = mapFile;
    std::erase(key, ' ');
    const FlimbMasterEntry* entry = FlimbMasterLevelList::Global().FindByLevelFileName(key);
    if (!entry)
        return false;
    const std::unique_ptr<LevelStats> stats = CurrentProfile().GetLevelStatsNode(entry->levelFileName, false);
    return stats && stats->nPasses > 0;
}

void UnlockTrap::Activate(Flimb* by)
{
    if (!enabled)
        return;
    if (umode == kFlimbMasterMap && !fm_map_file.empty()) {
        // A match must answer alike on every peer; the profiles differ, so none is asked.
        const bool passed = !MatchFlagSet() && MapLevelPassed(fm_map_file);
        FireEvent(passed ? 0 : 1, by, false);
    }
    alive = 0;
}

void UnlockTrap::Draw()
{
    DrawInEditorOnly(*this);
}

void UnlockTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapInt(node, "umode", umode);
    AppendTrapChild(node, "fm_map_file", fm_map_file);
    AppendTrapChild(node, "hidden_level", hidden_level);
}

void UnlockTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    umode = XmlGetTagInt(node, "umode", defaults, umode);
    fm_map_file = XmlGetTagText(node, "fm_map_file", defaults);
    hidden_level = XmlGetTagText(node, "hidden_level", defaults);
}

void UnlockTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const UnlockTrap&>(source);
    fm_map_file = other.fm_map_file;
    hidden_level = other.hidden_level;
    umode = other.umode;
}

void UnlockTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(umode);
    HashText(hasher, fm_map_file);
    HashText(hasher, hidden_level);
}
