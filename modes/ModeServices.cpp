#include "modes/ModeServices.h"

#include "modes/BonusItems.h"

void LoadBonusItems()
{
    BonusItemList::Load();
}
