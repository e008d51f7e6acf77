#include "modes/ModeServices.h"

#include "game/FlimbMasterLevelList.h"
#include "modes/BonusItems.h"

bool allGroupsActive = false;

void LoadBonusItems()
{
    // An item that beating a level unlocks sorts after the boss that lists the level.
    BonusItemList::SetBossLevelLookup(
        [](const std::string& levelFile) { return FlimbMasterLevelList::Global().BossPosition(levelFile); });
    BonusItemList::Load();
}
