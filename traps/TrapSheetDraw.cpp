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
    // The trap stands in the world: its point, size and turn go through the current view.
    float px = static_cast<float>(RoundToInt(trap.x)), py = static_cast<float>(RoundToInt(trap.y));
    WorldToScreen(px, py);
    const float viewScale = CurrentViewScale();
    const float viewTurn = 3.0f * 3.1415927410125732f / 2.0f - GameViewRotation();
    {
        Draw2D::SignedAddScope signedAdd;
        image.colour = trap.tint & 0xFFFFFFu;
        image.alpha = alpha;
        image.scaleX = scaleX * viewScale;
        image.scaleY = scaleY * viewScale;
        image.rotation = degrees * 3.1415927410125732f / 180.0f + viewTurn;
        sheet.SetFrame(frame);
        sheet.Draw(px, py);
    }
    image.alpha = oldAlpha;
    image.colour = oldColour;
    image.scaleX = oldScaleX;
    image.scaleY = oldScaleY;
    image.rotation = oldRotation;
}
