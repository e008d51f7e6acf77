#include "traps_flow/FlowDrawing.h"

#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/Surface.h"
#include "world/ViewServices.h"

namespace {

// How much the view turns what it shows: 0 for the untouched view (world y down).
float ViewTurn()
{
    return 3.0f * 3.1415927f / 2.0f - GameViewRotation();
}

} // namespace

void DrawImageAt(AnimSurface* image, float x, float y, const ImageDraw& how)
{
    if (!image || !image->bitmap)
        return;
    BaseSurface& bitmap = *image->bitmap;
    const uint8_t oldAlpha = bitmap.alpha;
    const uint32_t oldColour = bitmap.colour;
    const float oldScaleX = bitmap.scaleX, oldScaleY = bitmap.scaleY, oldRotation = bitmap.rotation;
    const int32_t oldFrame = image->currentFrame;
    // The point, size and turn go through the current view.
    WorldToScreen(x, y);
    const float viewScale = CurrentViewScale();
    {
        Draw2D::SignedAddScope signedAdd;
        bitmap.colour = how.tint & 0xFFFFFFu;
        bitmap.alpha = how.alpha;
        bitmap.scaleX = how.scaleX * viewScale;
        bitmap.scaleY = how.scaleY * viewScale;
        bitmap.rotation = how.radians + ViewTurn();
        image->SetFrame(how.frame);
        image->Draw(x, y);
    }
    image->SetFrame(oldFrame);
    bitmap.alpha = oldAlpha;
    bitmap.colour = oldColour;
    bitmap.scaleX = oldScaleX;
    bitmap.scaleY = oldScaleY;
    bitmap.rotation = oldRotation;
}

void DrawTextAt(int font, float x, float y, uint32_t colour, const std::string& text, float radians)
{
    if (Font* face = FontManager::GetFont(font)) {
        WorldToScreen(x, y);
        face->DrawTextTransformed(x, y, colour, text, kTextCentre | kTextVCentre, CurrentViewScale(),
                                  radians + ViewTurn());
    }
}
