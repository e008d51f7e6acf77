#include "game/GameTimeFormat.h"

#include "app/StringUtil.h"

std::string FormatGameTime(uint32_t updates, bool withFraction)
{
    const uint32_t ms = updates * 71u;
    const uint32_t seconds = ms / 1000u;
    const int minutes = int((seconds / 60u) % 100u);
    if (withFraction)
        return StringPrintf("%02d:%02d.%03d", minutes, int(seconds % 60u), int(ms % 1000u));
    return StringPrintf("%02d:%02d", minutes, int(seconds % 60u));
}
