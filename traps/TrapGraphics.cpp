// A trap's sprite: loading and releasing it, its frames, the default drawing and the editor
// icon of a kind.
#include "traps/Trap.h"

#include "app/FileManager.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"
#include "world/TrapKinds.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

#include <string>

namespace {

constexpr int32_t kPairedFrames = 26;

} // namespace

void Trap::ReleaseGraphics()
{
    if (sprite) {
        ImageCache::ReleaseImage(sprite);
        sprite = nullptr;
    }
}

void Trap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites(nullptr, kind);
}

void Trap::LoadPickupGraphics()
{
    ReleaseGraphics();
    sprite = LoadTrapSprites(floating_pickup ? "pickup-float" : "pickup", kind);
    if (sprite && !LevelEditorOpen() && sprite->frameCount > 0)
        frame = static_cast<uint8_t>(DrawRand() % sprite->frameCount); // looks only
    animating = 1;
}

void Trap::AdvanceFrame(AnimSurface* sheet)
{
    if (!sheet)
        sheet = sprite;
    if (!sheet || !animating)
        return;
    int32_t next = frame + 1;
    if (sheet->fps == kPairedFrames)
        next += next & 1;
    if (next >= sheet->frameCount)
        next = 0;
    frame = static_cast<uint8_t>(next);
}

uint8_t Trap::DisplayedFrame() const
{
    if (sprite && sprite->fps == kPairedFrames && Controller().alternateFrame && (frame & 1) == 0 &&
        frame + 1 < sprite->frameCount)
        return static_cast<uint8_t>(frame + 1);
    return frame;
}

void Trap::Draw()
{
    if (!sprite || !sprite->bitmap)
        return;
    BaseSurface& image = *sprite->bitmap;
    const uint8_t oldAlpha = image.alpha;
    const uint32_t oldColour = image.colour;
    const float oldScaleX = image.scaleX, oldScaleY = image.scaleY, oldRotation = image.rotation;
    // The trap stands in the world: its point, size and turn go through the current view.
    const ScreenPlacement placed = PlaceOnScreen(static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)));
    const float px = placed.x, py = placed.y;
    const float viewScale = placed.scale;
    const float viewTurn = placed.turn;
    {
        Draw2D::SignedAddScope signedAdd;
        image.colour = tint & 0xFFFFFFu;
        sprite->SetFrame(DisplayedFrame());
        image.alpha = alpha;
        image.scaleX = scale_x * viewScale;
        image.scaleY = scale_y * viewScale;
        image.rotation = rotation * 3.1415927410125732f / 180.0f + viewTurn;
        sprite->Draw(px, py);
    }
    image.alpha = oldAlpha;
    image.colour = oldColour;
    image.scaleX = oldScaleX;
    image.scaleY = oldScaleY;
    image.rotation = oldRotation;

    if (pickup_mode && pickup_left > 1) {
        if (Font* font = FontManager::GetFont(4)) {
            const std::string count = StringPrintf("%d", pickup_left);
            const float top = py - static_cast<float>(sprite->frameHeight) * viewScale / 2.0f;
            font->DrawTextTransformed(px, top, 0xCCFFFFFFu, count, kTextCentre);
            font->DrawTextTransformed(px + 1.0f, top + 1.0f, 0xCC000000u, count, kTextCentre);
        }
    }
}

AnimSurface* Trap::LoadIcon(int32_t kind)
{
    const char* typeName = TrapTypeName(kind);
    if (!*typeName || !fileManager)
        return nullptr;
    const std::string name = StringPrintf("Graphics\\Traps\\Icons\\icon_trap_%s.png", typeName);
    if (!fileManager->Exists(name, -1))
        return nullptr;
    return ImageCache::GetImage(name);
}
