// Stamping a trap's sprite into a (preview) landscape.
#include "traps/Trap.h"

#include "world/Landscape.h"

void Trap::StampIntoLandscape(Landscape& /*landscape*/, float /*factor*/)
{
    // The sprite is stamped through the landscape's primitive stamping once it exists.
}
