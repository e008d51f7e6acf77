#include "traps_flow/FlowDrawing.h"

#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/Surface.h"
#include "world/ViewServices.h"

void DrawImageAt(AnimSurface* image, float x, float y, const ImageDraw& how)
{
    if (!image || !image->bitmap)
        return;
    BaseSurface& bitmap = *image->bitmap;
    const uint8_t oldAlpha = bitmap.alpha;
    const uint32_t oldColour = bitmap.colour;
    const float oldScaleX = bitmap.scaleX, oldScaleY = bitmap.scaleY, oldRotation = bitmap.rotation;
    const int32_t oldFrame = image->currentFrame;
    {
        Draw2D::SignedAddScope signedAdd;
        bitmap.colour = how.tint & 0xFFFFFFu;
        bitmap.alpha = how.alpha;
        const ScreenPlacement placed = PlaceOnScreen(x, y);
        bitmap.scaleX = how.scaleX * placed.scale;
        bitmap.scaleY = how.scaleY * placed.scale;
        bitmap.rotation = how.radians + placed.turn;
        image->SetFrame(how.frame);
        image->Draw(placed.x, placed.y);
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
        const ScreenPlacement placed = PlaceOnScreen(x, y);
        face->DrawTextTransformed(placed.x, placed.y, colour, text, kTextCentre | kTextVCentre, placed.scale,
                                  radians + placed.turn);
    }
}
