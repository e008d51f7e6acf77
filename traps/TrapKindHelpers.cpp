#include "traps/TrapKindHelpers.h"

#include "game/Directions.h"
#include "game/GameController.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "media/Surface.h"
#include "traps/Trap.h"
#include "world/ViewServices.h"

#include <libxml/tree.h>

#include <cmath>

namespace {

constexpr int32_t kPairedFrames = 26;

} // namespace

int32_t TruncToInt(float v)
{
    if (!(v > -2.0e9f))
        return std::isnan(v) ? 0 : -2000000000;
    if (!(v < 2.0e9f))
        return 2000000000;
    return static_cast<int32_t>(v);
}

SheetDraw TrapSheetLook(const Trap& trap)
{
    SheetDraw how;
    how.scaleX = trap.scale_x;
    how.scaleY = trap.scale_y;
    how.radians = trap.rotation * 3.1415927410125732f / 180.0f;
    how.colour = trap.tint;
    how.alpha = trap.alpha;
    return how;
}

uint8_t TrapGravityDirection(const Trap& trap)
{
    return AngleToDirection(TruncToInt(trap.rotation));
}

void AppendTrapChild(xmlNode* node, const char* name, const std::string& text)
{
    xmlNewTextChild(node, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(text.c_str()));
}

void AppendTrapInt(xmlNode* node, const char* name, int64_t value)
{
    AppendTrapChild(node, name, std::to_string(value));
}

void DrawSheet(AnimSurface* sheet, float x, float y, const SheetDraw& how)
{
    if (!sheet || !sheet->bitmap)
        return;
    BaseSurface& image = *sheet->bitmap;
    const uint8_t oldAlpha = image.alpha;
    const uint32_t oldColour = image.colour;
    const float oldScaleX = image.scaleX, oldScaleY = image.scaleY, oldRotation = image.rotation;
    const ScreenPlacement placed = PlaceOnScreen(x, y);
    sheet->SetFrame(how.frame);
    image.colour = how.colour & 0xFFFFFFu;
    image.alpha = how.alpha;
    image.scaleX = how.scaleX * placed.scale;
    image.scaleY = how.scaleY * placed.scale;
    image.rotation = how.radians + placed.turn;
    if (how.part) {
        const gfx::RECT& frame = sheet->sourceRect;
        const gfx::RECT cut{frame.left + how.part->left, frame.top + how.part->top, frame.left + how.part->right,
                            frame.top + how.part->bottom};
        sheet->DrawRect(placed.x, placed.y, &cut);
    } else {
        sheet->Draw(placed.x, placed.y);
    }
    image.alpha = oldAlpha;
    image.colour = oldColour;
    image.scaleX = oldScaleX;
    image.scaleY = oldScaleY;
    image.rotation = oldRotation;
}

int PairedDisplayFrame(const AnimSurface* sheet, int frame)
{
    if (sheet && sheet->fps == kPairedFrames && Controller().alternateFrame && (frame & 1) == 0 &&
        frame + 1 < sheet->frameCount)
        return frame + 1;
    return frame;
}

void ReleaseSheet(AnimSurface*& sheet)
{
    if (sheet) {
        ImageCache::ReleaseImage(sheet);
        sheet = nullptr;
    }
}
