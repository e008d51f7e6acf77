#include "world/ParticleEmitters.h"

#include "app/Log.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "media/PngFile.h"
#include "world/Landscape.h"
#include "world/PrimitiveCache.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <cmath>

namespace {

AreaEffectParams& Record(BashEmitter& emitter)
{
    return static_cast<AreaEffectParams&>(emitter);
}

int Range(RandomGenerator& random, int low, int high)
{
    return low + random.Next() % (high - low + 1);
}

// The look the emitters share: kind 0 at the pixel, scale 1.0, the record's gravity,
// falling and moving physically, the pixel's colour. Null when the pool has no room.
Particle* NewDust(const AreaEffectParams& record, int x, int y, uint32_t colour, bool persistent)
{
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(persistent, record.Role()) : nullptr;
    if (!p)
        return nullptr;
    p->kind = kParticleDot;
    p->SetPosition(float(x), float(y), 1.0f);
    p->gravity = record.gravity;
    p->flags |= kParticleFalls | kParticlePhysical;
    p->colour = colour & 0x00FFFFFFu;
    return p;
}

// Spin 0..29 and alpha 127..254.
void SpinAndAlpha(Particle& p, RandomGenerator& random)
{
    p.spin = float(random.Next() % 30);
    p.alpha = static_cast<uint8_t>(127 + random.Next() % 128);
}

void RandomFlips(Particle& p, RandomGenerator& random)
{
    if (random.Next() & 1)
        p.flags |= kParticleMirrorX;
    if (random.Next() & 1)
        p.flags |= kParticleFlipY;
}

void Book(Particle& p)
{
    if (ParticleManager* manager = Particles())
        manager->CountParticle(p);
}

// A unit vector from (fromX, fromY) to (toX, toY); a random way when they are one point.
void UnitTowards(float fromX, float fromY, float toX, float toY, RandomGenerator& random, float& ux, float& uy)
{
    const float dx = toX - fromX, dy = toY - fromY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        ux = dx / length;
        uy = dy / length;
        return;
    }
    const int degrees = random.Next() % 360;
    ux = CosDeg(degrees);
    uy = SinDeg(degrees);
}

uint8_t ShiftChannel(uint32_t pixel, uint32_t tint, int shift)
{
    const int value = int((pixel >> shift) & 0xFF) + int((tint >> shift) & 0xFF) - 127;
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

AreaEffectParams::AreaEffectParams(Callback emitter, float px, float py, float velocityX, float velocityY,
                                   float velocityZ, uint8_t gravityDirection, int32_t stepsX, int32_t stepsY,
                                   bool persistentParticles)
    : x(px), y(py), vx(velocityX), vy(velocityY), vz(velocityZ), gravity(gravityDirection),
      persistent(persistentParticles ? 1 : 0)
{
    callback = emitter;
    stepX = std::max(1, stepsX);
    stepY = std::max(1, stepsY);
    visual = EmitsVisualParticles(emitter, persistentParticles) ? 1 : 0;
}

bool EmitsVisualParticles(BashEmitter::Callback emitter, bool persistent)
{
    return !(emitter == &EmitSpray && persistent);
}

void EmitSpray(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, record.persistent != 0);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    p->vx = record.vx + float(Range(random, -5, 5));
    p->vy = record.vy + float(Range(random, -5, 5));
    SpinAndAlpha(*p, random);
    RandomFlips(*p, random);
    if (record.persistent) {
        p->flags |= kParticleKept;
        if (record.bridge)
            p->flags2 |= kParticle2StampMode;
    } else {
        p->flags2 |= kParticle2LightGravity;
    }
    p->bounces = static_cast<uint8_t>(Range(random, 3, 5));
    p->life = 500;
    p->elasticity = static_cast<uint8_t>(Range(random, 25, 35));
    p->delay = record.delay;
    Book(*p);
}

void EmitTowards(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, false);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    float ux = 0.0f, uy = 0.0f;
    UnitTowards(record.x, record.y, float(x), float(y), random, ux, uy);
    p->vx = ux * 8.0f;
    p->vy = uy * 8.0f + float(Range(random, -1, 1));
    SpinAndAlpha(*p, random);
    p->flags2 |= kParticle2LightGravity;
    p->bounces = 5;
    p->elasticity = static_cast<uint8_t>(Range(random, 10, 14));
    p->delay = 0;
    Book(*p);
}

void EmitScatter(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, false);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    p->vx = (record.vx + (float(x) - record.x)) * 0.5f + float(Range(random, -3, 3));
    p->vy = (record.vy + (float(y) - record.y)) * 0.5f + float(Range(random, -3, 3));
    SpinAndAlpha(*p, random);
    p->flags |= kParticleSlowBounce;
    p->flags2 |= kParticle2LightGravity;
    p->bounces = 99;
    p->life = static_cast<uint16_t>(Range(random, 30, 39));
    p->elasticity = static_cast<uint8_t>(Range(random, 50, 69));
    Book(*p);
}

void EmitShard(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, false);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    p->vx = record.vx + (float(x) - record.x) + float(Range(random, -2, 1));
    p->vy = record.vy + (float(y) - record.y) + float(Range(random, -2, 1));
    SpinAndAlpha(*p, random);
    p->bounces = 5;
    p->elasticity = static_cast<uint8_t>(Range(random, 10, 14));
    Book(*p);
}

void EmitBurst(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, false);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    const float dx = float(x) - record.x, dy = float(y) - record.y;
    switch (record.burstPattern) {
    case 1: { // a fast ring
        float ux = 0.0f, uy = 0.0f;
        UnitTowards(record.x, record.y, float(x), float(y), random, ux, uy);
        p->vx = ux * 9.0f;
        p->vy = uy * 9.0f;
        break;
    }
    case 2: { // a five-pointed star: tips 50 pixels out between the sector bounds
        float ux = 0.0f, uy = 0.0f;
        UnitTowards(record.x, record.y, float(x), float(y), random, ux, uy);
        // Degrees counter-clockwise from +x with y up; bounds at 54, -18, -90, -162 and 126,
        // so the tips stand at 90, 18, -54, -126 and 162.
        const float degrees = Atan2Deg(-uy, ux);
        float fromTip = std::fmod(std::fabs(degrees - 90.0f), 72.0f);
        fromTip = std::min(fromTip, 72.0f - fromTip);
        const float radius = 50.0f - (50.0f - 19.0f) * fromTip / 36.0f;
        p->vx = ux * radius * 0.1f;
        p->vy = uy * radius * 0.1f;
        break;
    }
    default: // an expanding cloud
        p->vx = 0.75f * dx;
        p->vy = 0.75f * dy;
        break;
    }
    SpinAndAlpha(*p, random);
    p->flags &= static_cast<uint8_t>(~kParticleFalls);
    p->bounces = 10;
    p->elasticity = static_cast<uint8_t>(Range(random, 55, 74));
    p->delay = 1;
    p->life = static_cast<uint16_t>(Range(random, 10, 34));
    Book(*p);
}

void EmitReceptacle(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    AreaEffectParams& record = Record(emitter);
    Particle* p = NewDust(record, x, y, colour, false);
    if (!p)
        return;
    RandomGenerator& random = ParticleRandom(record.Role());
    float ux = 0.0f, uy = 0.0f;
    UnitTowards(record.x, record.y, float(x), float(y), random, ux, uy);
    p->vx = ux * 12.0f;
    p->vy = uy * 12.0f;
    p->spin = float(random.Next() % 30);
    RandomFlips(*p, random);
    p->flags &= static_cast<uint8_t>(~kParticleFalls);
    p->flags2 |= kParticle2LightGravity;
    p->alpha = 64;
    p->fade = -3;
    p->bounces = 10;
    p->elasticity = static_cast<uint8_t>(Range(random, 55, 74));
    p->delay = 1;
    Book(*p);
}

void SpawnFromImage(const ImageBreakUp& breakUp, AreaEffectParams* record)
{
    ParticleManager* manager = Particles();
    if (!manager || !breakUp.image || !manager->IsEnabled())
        return;
    const int32_t stepX = record ? record->stepX : 1, stepY = record ? record->stepY : 1;
    if (stepX < 1 || stepY < 1) {
        WriteLog("Image break-up refused: step %d x %d\n", stepX, stepY);
        return;
    }
    const bool viaCallback = record && record->callback;
    const ParticleRole role = viaCallback ? record->Role() : ParticleRole::Visual;
    // Visual particles without full detail: nothing to make, nothing to draw.
    if (role == ParticleRole::Visual && !ParticleManager::FullDetail())
        return;
    const float scaleY = breakUp.scaleY != 0.0f ? breakUp.scaleY : breakUp.scale;
    const BashMaskPtr mask = Landscape::GenerateBashMask(*breakUp.image, breakUp.frame,
                                                         breakUp.mirror ? -breakUp.scale : breakUp.scale, scaleY,
                                                         breakUp.rotation, true, breakUp.hotX, breakUp.hotY);
    if (!mask)
        return;
    RandomGenerator& random = ParticleRandom(role);
    random.Seed(CurrentUpdateCounter());
    const int32_t originX = int32_t(std::floor(breakUp.x)) - mask->hotspotX;
    const int32_t originY = int32_t(std::floor(breakUp.y)) - mask->hotspotY;
    for (int row = 0; row < mask->height; row += stepY) {
        const uint32_t* pixels = mask->Row(row);
        for (int column = 0; column < mask->width; column += stepX) {
            const uint32_t pixel = pixels[column];
            if ((pixel >> 24) <= 128)
                continue;
            const uint32_t colour = (uint32_t(ShiftChannel(pixel, breakUp.tint, 16)) << 16) |
                                    (uint32_t(ShiftChannel(pixel, breakUp.tint, 8)) << 8) |
                                    ShiftChannel(pixel, breakUp.tint, 0);
            const int wx = originX + column, wy = originY + row;
            if (viaCallback) {
                record->callback(*record, wx, wy, colour);
                continue;
            }
            const bool persistent = record && record->persistent && ((row / stepY + column / stepX) & 1) == 0;
            Particle* p = manager->AllocParticle(persistent, ParticleRole::Visual);
            if (!p)
                continue;
            p->kind = kParticlePixel;
            p->SetPosition(float(wx), float(wy), 1.0f);
            p->vx = float(Range(random, -5, 5));
            p->alpha = 255;
            p->spin = float(random.Next() % 30);
            if (random.Next() & 1)
                p->flags |= kParticleMirrorX;
            p->flags |= kParticleFalls | kParticlePhysical;
            p->bounces = static_cast<uint8_t>(Range(random, 1, 3));
            p->elasticity = static_cast<uint8_t>(Range(random, 15, 25));
            p->delay = breakUp.delay;
            p->colour = colour;
            manager->CountParticle(*p);
        }
    }
}

bool SpawnFromFile(const std::string& path, float x, float y, AreaEffectParams* record, float scale)
{
    const std::string name = "Graphics\\" + path;
    if (!IsPrimitiveNameAllowed(name)) {
        WriteLog("Liqufiy image refused (outside Graphics) [%s]\n", path.c_str());
        return false;
    }
    PNGReader reader;
    if (!reader.Init(name, 1)) {
        WriteLog("Failed to load Liqufiy image [%s]\n", name.c_str());
        return false;
    }
    BashMaskPtr image = AllocateBashMask(reader.Width(), reader.Height());
    if (!image || reader.Pixels().size() != size_t(image->width) * size_t(image->height)) {
        WriteLog("Cannot lock the Liqufiy pixel buffer\n");
        return false;
    }
    std::copy(reader.Pixels().begin(), reader.Pixels().end(), image->pixels);
    ImageBreakUp breakUp;
    breakUp.image = image.get();
    breakUp.hotX = image->width / 2;
    breakUp.hotY = image->height / 2;
    breakUp.x = x;
    breakUp.y = y;
    breakUp.scale = scale;
    SpawnFromImage(breakUp, record);
    return true;
}

const BashMask* ParticleSpritePixels(int kind)
{
    ParticleManager* manager = Particles();
    return manager ? manager->SpritePixels(kind) : nullptr;
}
