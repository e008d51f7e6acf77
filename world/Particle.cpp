#include "world/Particle.h"

#include "app/Random.h"
#include "app/SimMath.h"
#include "world/Landscape.h"
#include "world/Missiles.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"
#include "world/ParticlePool.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The materials a physical particle meets: dirt, rock, steel, water, bricks and the
// Mold's material; the others it passes through.
bool Blocks(uint8_t material)
{
    return material == 1 || material == 2 || material == 3 || material == 4 || material == 7 || material == 17;
}

// Past an edge: 0 open, 1 wall, anything else wraps (as the terrain queries read them).
enum class EdgeKind { Open, Wall, Wrap };
EdgeKind KindOfEdge(int32_t mode)
{
    return mode == TileStore::kEdgeOpen ? EdgeKind::Open : mode == TileStore::kEdgeWall ? EdgeKind::Wall : EdgeKind::Wrap;
}

// Keeps a coordinate inside 0 .. extent - 1 by the edge it left through: a wrapping edge
// moves it by the extent, an open edge ends it more than 200 pixels before the start or
// more than 199 past the end, a wall leaves it where it is. False when it dies.
bool KeepWithin(float& v, int32_t extent, int32_t lowEdge, int32_t highEdge)
{
    if (extent <= 0)
        return true;
    if (v < 0.0f) {
        switch (KindOfEdge(lowEdge)) {
        case EdgeKind::Wrap: v += float(extent); break;
        case EdgeKind::Open: return -v <= 200.0f;
        case EdgeKind::Wall: break;
        }
    } else if (v > float(extent - 1)) {
        switch (KindOfEdge(highEdge)) {
        case EdgeKind::Wrap: v -= float(extent); break;
        case EdgeKind::Open: return v - float(extent - 1) <= 199.0f;
        case EdgeKind::Wall: break;
        }
    }
    return true;
}

// The nearest of 0, 90, 180 and 270 degrees.
float NearestRightAngle(float degrees)
{
    float a = std::fmod(degrees, 360.0f);
    if (a < 0.0f)
        a += 360.0f;
    const int quarter = int((a + 45.0f) / 90.0f) % 4;
    return float(quarter * 90);
}

// Whole pixel of a coordinate: the floor, without a library call (coordinates stay far
// inside the int range; anything else is clamped first).
int32_t Pixel(float v)
{
    if (!(v > -1.0e9f && v < 1.0e9f))
        return v > 0.0f ? 1000000000 : -1000000000;
    const int32_t whole = static_cast<int32_t>(v);
    return float(whole) > v ? whole - 1 : whole;
}

// What digging and stamping removes: everything but rock, steel and the one-way walls.
constexpr uint32_t kRemovable = ~((1u << 2) | (1u << 3) | (1u << 8) | (1u << 9));

} // namespace

void Particle::SetPosition(float px, float py, float scale)
{
    x = px;
    y = py;
    z = scale;
    offsetX = 0;
    offsetY = 0;
    const int32_t universes = ParticleUniverses();
    if (universes <= 1)
        return;
    const int32_t width = ParticleUniverseWidth(ParticleLand());
    if (width <= 0)
        return;
    const int32_t universe = std::clamp<int32_t>(Pixel(px) / width, 0, universes - 1);
    offsetX = universe * width;
    x = px - float(offsetX);
}

bool Particle::IsSimulation() const
{
    return (flags & (kParticleStamps | kParticleKept)) != 0 || behaviour != ParticleBehaviour::Plain ||
           IsMissileKind(kind);
}

int Particle::StampMaterial() const
{
    if (flags & kParticleKept) {
        if (!(flags2 & kParticle2NoExplosion))
            return 1;
        return (flags2 & kParticle2StampMode) ? 17 : 7;
    }
    return (flags & kParticleStamps) ? 0 : -1;
}

void Particle::Update(ParticleStep& step)
{
    switch (behaviour) {
    case ParticleBehaviour::IceMissile: IceMissile::Update(*this, step); break;
    case ParticleBehaviour::Fireball: Fireball::Update(*this, step); break;
    default: UpdatePlain(step); break;
    }
}

void Particle::Die(ParticleStep& step)
{
    switch (behaviour) {
    case ParticleBehaviour::Missile: Missile::Die(*this, step); break;
    case ParticleBehaviour::IceMissile: IceMissile::Die(*this, step); break;
    case ParticleBehaviour::Fireball: Fireball::Die(*this, step); break;
    default: DiePlain(step); break;
    }
}

void Particle::UpdatePlain(ParticleStep& step)
{
    const uint16_t now = static_cast<uint16_t>(step.updateCounter);
    // 1. Nothing until the delay has run (born and the counter compared modulo 65,536).
    if (static_cast<uint16_t>(now - born) < delay)
        return;
    RandomGenerator& random = *step.random;
    random.Seed(step.updateCounter);
    const float startVx = vx, startVy = vy, startVz = vz;
    bool dying = false;

    // 2. The frame counter.
    frame = static_cast<uint8_t>((frame + 1) % ParticleKindOf(kind).frameWrap);

    // 3. Out of the landscape.
    const Landscape* land = step.land;
    if (land) {
        const auto& edges = land->edgeModes;
        dying = !KeepWithin(x, step.universeWidth, edges[TileStore::kEdgeLeft], edges[TileStore::kEdgeRight]) ||
                !KeepWithin(y, land->Height(), edges[TileStore::kEdgeTop], edges[TileStore::kEdgeBottom]);
    }

    const bool anyFixed = (flags2 & (kParticle2FixedX | kParticle2FixedY | kParticle2FixedZ)) != 0;
    // 4. Spin, acceleration and fading from the update after its birth.
    if (!dying && now != born && !anyFixed) {
        angle += spin;
        vx += ax;
        vy += ay;
        vz += az;
        alpha = static_cast<uint8_t>(std::clamp(int(alpha) + int(fade), 0, 255));
        if ((flags2 & kParticle2DiesFaded) && alpha == 0)
            dying = true;
        while (angle > 360.0f)
            angle -= 360.0f;
        while (angle < -360.0f)
            angle += 360.0f;
    }

    // 5. Gravity: 5 a update, 2 with light gravity (unless kept).
    if (!dying && (flags & kParticleFalls) && !anyFixed) {
        const float pull = ((flags2 & kParticle2LightGravity) && !(flags & kParticleKept)) ? 2.0f : 5.0f;
        switch (gravity) {
        case 1: vy -= pull; break;
        case 2: vx -= pull; break;
        case 3: vx += pull; break;
        default: vy += pull; break;
        }
    }

    if (!dying && !(flags & kParticlePhysical)) {
        // 6. The wave motion: base + amplitude x cos(phase + age x velocity), the amplitude
        // shrinking by the acceleration.
        const float t = float(age);
        // base + 0 x cos is the base: no cosine for a still axis.
        auto wave = [t](float base, float amplitude, float phase, float speed) {
            return amplitude == 0.0f ? base : base + amplitude * CosDegF(phase + t * speed);
        };
        if (!(flags2 & kParticle2FixedX)) {
            x = wave(baseX, ampX, waveX, vx);
            ampX *= ax;
        }
        if (!(flags2 & kParticle2FixedY)) {
            y = wave(baseY, ampY, waveY, vy);
            ampY *= ay;
        }
        if (!(flags2 & kParticle2FixedZ)) {
            z = wave(baseZ, ampZ, waveZ, vz);
            ampZ *= az;
        }
        if (std::fabs(ampX) < 1.0f && std::fabs(ampY) < 1.0f)
            dying = true;
    } else if (!dying) {
        // 7. Physical motion: along the straight path until the first blocking pixel.
        bool hit = false;
        int32_t hitX = 0, hitY = 0;
        float freeX = x, freeY = y;
        const float toX = x + vx, toY = y + vy;
        const bool clear = !land || (vx == 0.0f && vy == 0.0f) ||
                           !land->MayHoldTerrain(Pixel(std::min(x, toX)) + offsetX, Pixel(std::min(y, toY)) + offsetY,
                                                 Pixel(std::max(x, toX)) + offsetX, Pixel(std::max(y, toY)) + offsetY);
        if (!clear) {
            const float longest = std::max(std::fabs(vx), std::fabs(vy));
            const int steps = std::clamp(int(std::ceil(longest)), 1, 4096);
            const float stepX = vx / float(steps), stepY = vy / float(steps);
            const int32_t width = land->Width(), height = land->Height();
            int32_t lastPx = Pixel(x) + offsetX, lastPy = Pixel(y) + offsetY;
            int mapSlot = -1;
            const uint8_t* map = nullptr;
            for (int i = 1; i <= steps; ++i) {
                const float px = x + stepX * float(i);
                const float py = y + stepY * float(i);
                const int32_t ix = Pixel(px) + offsetX, iy = Pixel(py) + offsetY;
                if (ix != lastPx || iy != lastPy) {
                    lastPx = ix, lastPy = iy;
                    uint8_t material = 0;
                    if (ix >= 0 && iy >= 0 && ix < width && iy < height) {
                        // Inside the landscape: straight from the tile's material map.
                        const int slot = TileSlot(ix >> kTileShift, iy >> kTileShift);
                        if (slot != mapSlot) {
                            mapSlot = slot;
                            map = land->MaterialMap(slot);
                        }
                        material = map ? map[MaterialIndex(ix, iy)] : 0;
                    } else {
                        material = land->HitTestPoint(ix, iy);
                    }
                    if (Blocks(material)) {
                        hit = true, hitX = ix, hitY = iy;
                        break;
                    }
                }
                freeX = px, freeY = py;
            }
        }
        z += vz; // the change of scale
        if (!hit) {
            x += vx;
            y += vy;
        } else {
            // The surface from the eight neighbours: the sum of the open ones points away from it.
            int openX = 0, openY = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && !Blocks(land->HitTestPoint(hitX + dx, hitY + dy)))
                        openX += dx, openY += dy;
            const float along = float(int(elasticity) + random.Next() % 11 - 5) / 100.0f;
            const float across = float(int(elasticity) + random.Next() % 11 - 5) / 100.0f;
            const int ax2 = std::abs(openX), ay2 = std::abs(openY);
            if (openX == 0 && openY == 0) {
                vx = -vx * across;
                vy = -vy * along;
            } else if (ay2 >= 2 * ax2) { // floor or ceiling
                vy = -vy * along;
                vx *= across;
            } else if (ax2 >= 2 * ay2) { // wall
                vx = -vx * along;
                vy *= across;
            } else { // a corner: the velocity turns by 90 degrees off the diagonal
                const float sign = float((openX > 0) == (openY > 0) ? 1 : -1);
                const float oldVx = vx;
                vx = -vy * sign * along;
                vy = -oldVx * sign * across;
            }
            x = freeX;
            y = freeY;
            const float speed = std::sqrt(vx * vx + vy * vy);
            const bool again = bounces > 0 && speed >= 1.5f && (!(flags & kParticleSlowBounce) || speed < 10.0f);
            if (again) {
                --bounces;
            } else if (!(flags & kParticleKept) && stickCount > 0) {
                --stickCount;
                vx = vy = 0.0f;
            } else {
                // It comes to rest: a kept particle ends here and becomes terrain.
                dying = true;
            }
        }
    }

    // 8. Lifetime: fading over the second half, then the end.
    if (!dying && life > 0) {
        if (age >= life) {
            flags &= static_cast<uint8_t>(~kParticleKept);
            dying = true;
        } else if (age >= life / 2) {
            const int32_t part = int32_t(age - life / 2) * 16384 / int32_t(life);
            alpha = static_cast<uint8_t>(std::clamp(255 - ((part * 255) >> 14), 0, 255));
        }
    }

    // 9. Past its limits.
    if (!dying && ((maxX != kNoParticleLimit && x > float(maxX)) || (maxY != kNoParticleLimit && y > float(maxY))))
        dying = true;

    // 10.
    ++age;
    if (dying) {
        if (flags & kParticlePhysical) {
            vx = startVx;
            vy = startVy;
            vz = startVz;
        }
        Die(step);
    }
}

void Particle::DiePlain(ParticleStep& step)
{
    alive = 0;
    if (step.lookAhead || (flags2 & kParticle2Uncounted))
        return;
    if (step.pool)
        step.pool->Uncount(*this);
    const int material = StampMaterial();
    Landscape* land = step.land;
    if (material < 0 || !land)
        return;
    // Its sprite laid at its point, turned to the nearest right angle, at its scale, in its
    // colour and alpha (the sprite is white: the colour multiplies it). Added terrain goes
    // onto empty pixels only; removal spares rock, steel and the one-way walls.
    const std::string file = std::string("Graphics\\") + ParticleKindOf(kind).sprite;
    const uint32_t tint = (uint32_t(alpha) << 24) | (colour & 0x00FFFFFFu);
    const uint32_t affected = material == 0 ? kRemovable : 1u;
    land->BashPrimitiveFile(material, file, BashOptions{}, affected, z, z, NearestRightAngle(angle), true, nullptr, tint,
                            Landscape::kCacheLookup | Landscape::kCacheStore, false, nullptr, true, nullptr, false,
                            WorldX(), WorldY());
}
