#include "traps/TrapSheetDraw.h"

#include "app/SimMath.h"
#include "game/GameController.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/Trap.h"
#include "world/ViewServices.h"

namespace {
constexpr int32_t kPairedFrames = 26;
}

int32_t DisplayedSheetFrame(const AnimSurface& sheet, int32_t frame)
{
    if (sheet.fps == kPairedFrames && Controller().alternateFrame && (frame & 1) == 0 && frame + 1 < sheet.frameCount)
        return frame + 1;
    return frame;
}

void DrawTrapSheet(AnimSurface& sheet, int32_t frame, const Trap& trap, float degrees, float scaleX, float scaleY,
                   uint8_t alpha)
{
    if (!sheet.bitmap)
        return;
    BaseSurface& image = *sheet.bitmap;
    const uint8_t oldAlpha = image.alpha;
    const uint32_t oldColour = image.colour;
    const float oldScaleX = image.scaleX, oldScaleY = image.scaleY, oldRotation = image.rotation;
    {
        Draw2D::SignedAddScope signedAdd;
        image.colour = trap.tint & 0xFFFFFFu;
        image.alpha = alpha;
        const ScreenPlacement placed =
            PlaceOnScreen(static_cast<float>(RoundToInt(trap.x)), static_cast<float>(RoundToInt(trap.y)));
        image.scaleX = scaleX * placed.scale;
        image.scaleY = scaleY * placed.scale;
        image.rotation = degrees * 3.1415927410125732f / 180.0f + placed.turn;
        sheet.SetFrame(frame);
        sheet.Draw(placed.x, placed.y);
    }
    image.alpha = oldAlpha;
    image.colour = oldColour;
    image.scaleX = oldScaleX;
    image.scaleY = oldScaleY;
    image.rotation = oldRotation;
}
