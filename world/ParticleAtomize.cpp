// Sprites of flimbs broken into particles: the flimb's own frame (AtomizeLand) and the
// overlay it wears.
#include "app/Log.h"
#include "app/Random.h"
#include "media/AnimSurface.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/LockedBitmap.h"
#include "world/ParticleEmitters.h"
#include "world/WorldClock.h"

#include <algorithm>

namespace {

// The flimb's turn as a mask rotation: its head points away from its gravity.
float GravityRotation(uint8_t gravity)
{
    switch (gravity & 3) {
    case 1: return 180.0f;
    case 2: return 270.0f;
    case 3: return 90.0f;
    default: return 0.0f;
    }
}

// The rectangle of an animation's frame within its image.
BashRect FrameRect(const AnimSurface& image, int frame)
{
    const int width = std::max(1, image.frameWidth), height = std::max(1, image.frameHeight);
    const int columns = std::max(1, image.imageWidth / width);
    return BashRect{(frame % columns) * width, (frame / columns) * height, (frame % columns + 1) * width,
                    (frame / columns + 1) * height};
}

uint32_t Multiply(uint32_t pixel, uint32_t tint)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= (((pixel >> shift) & 0xFFu) * ((tint >> shift) & 0xFFu) / 255u) << shift;
    return out;
}

int Range(RandomGenerator& random, int low, int high)
{
    return low + random.Next() % (high - low + 1);
}

} // namespace

void AtomizeLand(const Flimb* flimb, bool evenFrames, bool persistent, BashEmitter* record, int stepX, int stepY,
                 const BashRect* part)
{
    ParticleManager* manager = Particles();
    if (!flimb || (flimb->attributes & kAttrQuietEnd) || !manager || !manager->IsEnabled())
        return;
    if (stepX < 1 || stepY < 1) {
        WriteLog("Atomize refused: step %d x %d\n", stepX, stepY);
        return;
    }
    const bool viaCallback = record && record->callback;
    const ParticleRole role = viaCallback && !record->visual ? ParticleRole::Simulation : ParticleRole::Visual;
    if (role == ParticleRole::Visual && !ParticleManager::FullDetail())
        return;
    const bool mirror = flimb->walkSpeed < 0;
    const float rotation = GravityRotation(flimb->gravity);
    if (const AnimSurface* image = flimb->animation; image && image->bitmap && image->frameCount > 0) {
        const LockedBitmap locked(image->bitmap);
        if (locked.Locked()) {
            int frame = std::clamp<int>(flimb->frame, 0, image->frameCount - 1);
            if (evenFrames && image->frameCount == 26)
                frame &= ~1;
            const BashRect whole = FrameRect(*image, frame);
            BashRect rect = whole;
            if (part) {
                rect = BashRect{std::max(whole.left, whole.left + part->left), std::max(whole.top, whole.top + part->top),
                                std::min(whole.right, whole.left + part->right),
                                std::min(whole.bottom, whole.top + part->bottom)};
            }
            uint32_t tint = 0xFFFFFFFFu;
            if (flimb->attributes & kAttrSteered)
                tint = FlimbGroupColour(flimb->group);
            else if (flimb->attributes & kAttrSureFooted)
                tint = 0xFF000000u | ((FlimbGroupColour(flimb->group) >> 1) & 0x7F7F7Fu);
            const BashMaskPtr mask =
                rect.right > rect.left && rect.bottom > rect.top
                    ? Landscape::GenerateBashMask(locked.Image(), &rect, mirror ? -flimb->scale : flimb->scale,
                                                  flimb->scale, rotation, true,
                                                  image->hotspotX - (rect.left - whole.left),
                                                  image->hotspotY - (rect.top - whole.top))
                    : nullptr;
            if (mask) {
                RandomGenerator& random = ParticleRandom(role);
                random.Seed(CurrentUpdateCounter());
                const int32_t originX = flimb->x - mask->hotspotX, originY = flimb->y - mask->hotspotY;
                const int lastColumn = (mask->width - 1) / stepX * stepX;
                bool reported = false;
                for (int row = 0; row < mask->height; row += stepY) {
                    // Rows are scanned from alternate sides.
                    const bool backwards = ((row / stepY) & 1) != 0;
                    for (int i = 0; i <= lastColumn; i += stepX) {
                        const int column = backwards ? lastColumn - i : i;
                        const uint32_t pixel = mask->Row(row)[column];
                        if ((pixel >> 24) <= 128)
                            continue;
                        const uint32_t colour = Multiply(pixel, tint);
                        const int wx = originX + column, wy = originY + row;
                        if (viaCallback) {
                            record->callback(*record, wx, wy, colour);
                            continue;
                        }
                        Particle* p = manager->AllocParticle(persistent, ParticleRole::Visual);
                        if (!p) {
                            if (persistent && !reported) {
                                WriteLog("Error: Failed to create landscape atomize particle\n");
                                reported = true;
                            }
                            continue;
                        }
                        p->kind = kParticlePixel;
                        p->SetPosition(float(wx), float(wy), 1.0f);
                        p->gravity = flimb->gravity;
                        const float across = float(Range(random, -5, 5));
                        p->vx = flimb->gravity < 2 ? across : 0.0f;
                        p->vy = flimb->gravity < 2 ? 0.0f : across;
                        p->spin = 0.0f;
                        p->bounces = static_cast<uint8_t>(Range(random, 1, 3));
                        p->elasticity = static_cast<uint8_t>(Range(random, 15, 25));
                        if (random.Next() & 1)
                            p->flags |= kParticleBack;
                        p->flags |= kParticleFalls | kParticlePhysical;
                        p->alpha = 255;
                        p->flags2 = kParticle2NoExplosion | kParticle2StampMode | kParticle2DiesFaded;
                        if (!persistent)
                            p->flags2 |= kParticle2LightGravity;
                        p->delay = 1;
                        p->colour = colour;
                        p->life = persistent ? 250 : 25;
                        manager->CountParticle(*p);
                    }
                }
            }
        }
    }
    if (flimb->overlay)
        SpawnFromAnimation(*flimb->overlay, float(flimb->x), float(flimb->y), flimb->scale, rotation, mirror, nullptr);
}

namespace {

// A frame of an animated surface (clamped to the sheet) broken up as `breakUp` says.
void BreakUpFrame(const AnimSurface& image, int frame, ImageBreakUp breakUp, AreaEffectParams* record)
{
    if (!image.bitmap || image.frameCount <= 0)
        return;
    const LockedBitmap locked(image.bitmap);
    if (!locked.Locked())
        return;
    const BashRect rect = FrameRect(image, std::clamp<int>(frame, 0, image.frameCount - 1));
    breakUp.image = &locked.Image();
    breakUp.frame = &rect;
    breakUp.hotX = image.hotspotX;
    breakUp.hotY = image.hotspotY;
    SpawnFromImage(breakUp, record);
}

} // namespace

void SpawnFromAnimation(const AnimSurface& image, float x, float y, float scale, float rotation, bool mirror,
                        AreaEffectParams* record)
{
    ImageBreakUp breakUp;
    breakUp.x = x;
    breakUp.y = y;
    breakUp.scale = scale;
    breakUp.rotation = rotation;
    breakUp.mirror = mirror;
    BreakUpFrame(image, image.currentFrame, breakUp, record);
}

void SpawnFromFrame(const AnimSurface& image, int frame, float x, float y, float scaleX, float scaleY, uint32_t tint,
                    AreaEffectParams* record, float rotation)
{
    ImageBreakUp breakUp;
    breakUp.x = x;
    breakUp.y = y;
    breakUp.scale = scaleX;
    breakUp.scaleY = scaleY;
    breakUp.tint = tint;
    breakUp.rotation = rotation;
    BreakUpFrame(image, frame, breakUp, record);
}
