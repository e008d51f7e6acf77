#include "traps/DeviceDrawing.h"

#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "traps/TrapKindHelpers.h"
#include "world/ViewServices.h"

namespace {

constexpr float kPi = 3.1415927410125732f;
// The font that draws numbers on traps.
constexpr int kNumbersFont = 4;

} // namespace

void DrawWorldSheet(AnimSurface* sheet, float worldX, float worldY, const WorldSheetDraw& how)
{
    if (!sheet)
        return;
    // DrawSheet takes the world point through the game view.
    SheetDraw sheetDraw;
    sheetDraw.frame = how.frame;
    sheetDraw.scaleX = how.scaleX;
    sheetDraw.scaleY = how.scaleY;
    sheetDraw.radians = how.degrees * kPi / 180.0f;
    sheetDraw.colour = how.tint;
    sheetDraw.alpha = how.alpha;
    Draw2D::SignedAddScope signedAdd;
    DrawSheet(sheet, worldX, worldY, sheetDraw);
}

void DrawWorldNumber(const std::string& text, float worldX, float worldY, uint32_t colour)
{
    Font* font = FontManager::GetFont(kNumbersFont);
    if (!font)
        return;
    float px = worldX, py = worldY;
    WorldToScreen(px, py);
    font->DrawTextTransformed(px, py, colour, text, kTextCentre | kTextVCentre);
}

void DrawWorldBox(float left, float top, float right, float bottom, uint32_t colour)
{
    WorldToScreen(left, top);
    WorldToScreen(right, bottom);
    Draw2D::DrawFilledRect(left, top, right, bottom, colour);
}
