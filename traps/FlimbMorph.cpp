#include "traps/FlimbMorph.h"

#include "world/Flimb.h"

void MorphAtOnce(Flimb& flimb, uint8_t action)
{
    flimb.pendingType = action;
    flimb.queuedAction = kNoType;
    flimb.queuedDelay = 0;
}

void SetGulpMode(Flimb& flimb, bool normal)
{
    if (flimb.type != kGulp && flimb.pendingType != kGulp && flimb.queuedAction != kGulp)
        return;
    if (normal)
        flimb.flags |= kFlimbGulpVariant;
    else
        flimb.flags &= static_cast<uint8_t>(~kFlimbGulpVariant);
    if (flimb.type == kGulp)
        flimb.SetType(kGulp, true);
}
