#include "modes/ModeServices.h"

#include "modes/BonusItems.h"

bool allGroupsActive = false;

void LoadBonusItems()
{
    BonusItemList::Load();
}
