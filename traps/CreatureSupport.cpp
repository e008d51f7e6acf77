#include "traps/CreatureSupport.h"

#include "media/Draw2D.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"


void ClearInWorld(Flimb& flimb)
{
    flimb.flags = static_cast<uint8_t>(flimb.flags & ~(kFlimbInWorld | kFlimbAlive));
}

void DrawSheetInWorld(AnimSurface* sheet, float worldX, float worldY, const SheetDraw& how, bool signedAdd)
{
    if (!sheet)
        return;
    // DrawSheet takes world points through the game view.
    if (signedAdd) {
        Draw2D::SignedAddScope scope;
        DrawSheet(sheet, worldX, worldY, how);
    } else {
        DrawSheet(sheet, worldX, worldY, how);
    }
}
