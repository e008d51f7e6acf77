#include "levelmodel/LevelChooserEntry.h"

LevelChooserEntry::LevelChooserEntry()
{
    for (size_t slot = 0; slot < groups.size(); ++slot)
        groups[slot].slot = static_cast<uint8_t>(slot);
}
