// Particle quads and vertex columns, the visible rectangle, a failed lock, frame-skip
// drawing from look-ahead copies, and a picture of every kind in both passes.
#include "../gui/DeviceFixture.h"
#include "../support/ParticleFixture.h"

#include "app/Random.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "platform/gfx/Device.h"
#include "platform/image/ImageCodec.h"
#include "traps/Trap.h"
#include "world/ParticleKinds.h"
#include "world/ParticleQuads.h"
#include "world/ViewServices.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Corner {
    float x, y, u, v;
};

// The four corners of a written quad: top-left, top-right, bottom-right, bottom-left.
std::array<Corner, 4> Corners(const ParticleVertex* q)
{
    return {Corner{q[0].x, q[0].y, q[0].u, q[0].v}, Corner{q[1].x, q[1].y, q[1].u, q[1].v},
            Corner{q[2].x, q[2].y, q[2].u, q[2].v}, Corner{q[3].x, q[3].y, q[3].u, q[3].v}};
}

} // namespace

TEST(ParticleQuads, FramesHotSpotsMirrorsAndTurns)
{
    Particle p = kTemplateParticle;
    p.alpha = 0x80;
    p.colour = 0xFF123456; // the alpha field wins over the colour's top byte
    ParticleVertex q[6];

    // Kind 0: 4 pixels around the point over the whole texture, never scaled or turned.
    p.kind = kParticleDot;
    p.z = 3.0f;
    p.angle = 45.0f;
    WriteParticleQuad(p, 10, 20, 4, 4, q);
    auto c = Corners(q);
    EXPECT_EQ(c[0].x, 8.0f);
    EXPECT_EQ(c[0].y, 18.0f);
    EXPECT_EQ(c[2].x, 12.0f);
    EXPECT_EQ(c[2].y, 22.0f);
    EXPECT_EQ(c[2].u, 1.0f);
    EXPECT_EQ(q[0].colour, 0x80123456u);
    // Two triangles: (TL, TR, BR) and (BL, TL, BR).
    EXPECT_EQ(q[3].x, c[3].x);
    EXPECT_EQ(q[4].x, c[0].x);
    EXPECT_EQ(q[5].y, c[2].y);

    // A Lop head (25 x 32, hot spot 11, 24) at scale 2.
    p.kind = kParticleLopHead;
    p.z = 2.0f;
    p.angle = 0.0f;
    WriteParticleQuad(p, 100, 100, 25, 32, q);
    c = Corners(q);
    EXPECT_EQ(c[0].x, 100 - 22.0f);
    EXPECT_EQ(c[0].y, 100 - 48.0f);
    EXPECT_EQ(c[2].x, 100 + 28.0f);
    EXPECT_EQ(c[2].y, 100 + 16.0f);
    EXPECT_EQ(c[0].u, 0.0f);
    EXPECT_EQ(c[2].u, 1.0f);
    // Mirrored about the point: the right edge holds the texture's left.
    p.flags = kParticleMirrorX;
    WriteParticleQuad(p, 100, 100, 25, 32, q);
    c = Corners(q);
    EXPECT_EQ(c[0].x, 100 - 28.0f);
    EXPECT_EQ(c[1].x, 100 + 22.0f);
    EXPECT_EQ(c[0].u, 1.0f);
    EXPECT_EQ(c[1].u, 0.0f);
    // Flipped: the top holds the texture's bottom.
    p.flags = kParticleFlipY;
    WriteParticleQuad(p, 100, 100, 25, 32, q);
    c = Corners(q);
    EXPECT_EQ(c[0].y, 100 - 16.0f);
    EXPECT_EQ(c[0].v, 1.0f);
    // Turned by 90 degrees about the point.
    p.flags = 0;
    p.angle = 90.0f;
    WriteParticleQuad(p, 100, 100, 25, 32, q);
    c = Corners(q);
    EXPECT_NEAR(c[0].x, 100 + 48.0f, 1e-3f);
    EXPECT_NEAR(c[0].y, 100 - 22.0f, 1e-3f);

    // The fireball's counter runs to 25; a counter past the sheet draws its last frame.
    p = kTemplateParticle;
    p.kind = kParticleFireball;
    for (const auto& [frame, drawn] : {std::pair{3, 3}, std::pair{25, 25}, std::pair{99, 25}}) {
        p.frame = uint8_t(frame);
        WriteParticleQuad(p, 0, 0, 702, 27, q);
        EXPECT_NEAR(q[0].u, drawn * 27 / 702.0f, 1e-6f) << frame;
        EXPECT_NEAR(q[1].u, (drawn + 1) * 27 / 702.0f, 1e-6f) << frame;
    }
}

using ParticleColumns = ParticleFixture;

TEST_F(ParticleColumns, OneColumnPerKindAndPassInCounterOrderOnlyWhatIsVisible)
{
    UseMap(AsciiMap(100, std::string(200, '.')));
    ScopedConsoleInt full("enableparticles", 1);
    auto make = [&](uint8_t kind, uint8_t flags, float x, float y) {
        ASSERT_NE(Make(ParticleRole::Visual, [&](Particle& p) {
                      p.kind = kind;
                      p.flags = flags | kParticlePhysical;
                      p.SetPosition(x, y, 1.0f);
                      p.vx = p.vy = 0.0f;
                  }),
                  nullptr);
    };
    for (int i = 0; i < 3; ++i)
        make(kParticleDot, 0, 10.0f + float(i), 10);
    make(kParticleDot, kParticleBack, 20, 10);
    make(kParticleDot, kParticleBack, 21, 10);
    make(kParticlePixel, 0, 30, 10);
    make(kParticlePixel, 0, 150, 10); // out of the view below
    make(kParticleGlib, kParticleBack, 104, 10); // within the 5-pixel margin
    GameViewHooks hooks;
    hooks.visibleWorldRect = [] { return gfx::RECT{0, 0, 100, 50}; };
    SetGameViewHooks(hooks);
    Step();
    ResetGameViewHooks();
    EXPECT_EQ(manager.LiveVisualParticles(), 8);
    EXPECT_EQ(manager.DrawnParticles(), 7);
    // Columns: kind 0 front (3 booked), kind 0 back (2), kind 3 front (0) and back (1),
    // kind 12 front (2 booked, 1 visible).
    EXPECT_EQ(manager.ColumnFirstVertex(0), 0u);
    EXPECT_EQ(manager.ColumnVertices(0), 18);
    EXPECT_EQ(manager.ColumnFirstVertex(1), 18u);
    EXPECT_EQ(manager.ColumnVertices(1), 12);
    EXPECT_EQ(manager.ColumnFirstVertex(2 * kParticleGlib + 1), 30u);
    EXPECT_EQ(manager.ColumnVertices(2 * kParticleGlib + 1), 6);
    EXPECT_EQ(manager.ColumnFirstVertex(2 * kParticlePixel), 36u);
    EXPECT_EQ(manager.ColumnVertices(2 * kParticlePixel), 6);
    // The vertices sit where the columns say.
    ASSERT_NE(manager.VertexBuffer(), nullptr);
    const auto* vertices = reinterpret_cast<const ParticleVertex*>(manager.VertexBuffer()->Data());
    EXPECT_EQ(vertices[0].x, 10.0f - 2.0f);
    EXPECT_EQ(vertices[18].x, 20.0f - 2.0f);
    EXPECT_EQ(vertices[36].x, 30.0f - 1.0f); // part_px: 3 x 3, hot spot (1, 1)

    // A buffer that cannot be locked: logged, nothing written, the particles still move.
    LogCapture log;
    void* held = nullptr;
    ASSERT_EQ(manager.VertexBuffer()->Lock(0, 0, &held, 0), gfx::D3D_OK);
    Step();
    manager.VertexBuffer()->Unlock();
    EXPECT_TRUE(log.Contains("Couldn't lock the particle vertex buffer!"));
    EXPECT_EQ(manager.DrawnParticles(), 0);
    EXPECT_EQ(manager.LiveVisualParticles(), 8);
}

TEST_F(ParticleColumns, FrameSkipDrawsHalfwayFromCopiesAndAdvancesNothing)
{
    UseMap(AsciiMap(100, std::string(200, '.')));
    Particle* p = Make(ParticleRole::Simulation, [](Particle& q) {
        q.kind = kParticleDot;
        q.flags = kParticlePhysical | kParticleStamps;
        q.SetPosition(10, 50, 1.0f);
        q.vx = 4.0f, q.vy = 0.0f;
        q.delay = 0;
        q.maxX = 13; // dies past x 13: in the next update
    });
    ASSERT_NE(p, nullptr);
    Particle* q = Make(ParticleRole::Simulation, [](Particle& r) {
        r.kind = kParticleDot;
        r.flags = kParticlePhysical;
        r.SetPosition(40, 50, 1.0f);
        r.vx = 6.0f, r.vy = 0.0f;
        r.delay = 0;
    });
    Step(); // p: 14 -> dies past its limit and is stamped; so make a fresh pair
    EXPECT_EQ(p->alive, 0u);
    const int32_t checksum = land->ComputeChecksum();
    ASSERT_EQ(q->x, 46.0f);
    const Particle before = *q;
    const uint32_t simulation = SimRandom().State();
    SetInBetweenFrame(true);
    manager.Draw();
    manager.Draw();
    SetInBetweenFrame(false);
    // The real particle did not move; the quad stands halfway to 52.
    EXPECT_EQ(q->x, before.x);
    EXPECT_EQ(q->age, before.age);
    EXPECT_EQ(q->frame, before.frame);
    EXPECT_EQ(SimRandom().State(), simulation);
    EXPECT_EQ(land->ComputeChecksum(), checksum);
    const auto* vertices = reinterpret_cast<const ParticleVertex*>(manager.VertexBuffer()->Data());
    EXPECT_EQ(vertices[0].x, 49.0f - 2.0f);

    // A particle whose copy dies ahead (a stamping one past its limit) is drawn where it is
    // and neither dies nor stamps.
    Particle* last = Make(ParticleRole::Simulation, [](Particle& r) {
        r.kind = kParticleDot;
        r.flags = kParticlePhysical | kParticleStamps;
        r.SetPosition(60, 50, 1.0f);
        r.vx = 5.0f, r.vy = 0.0f;
        r.delay = 0;
        r.maxX = 62;
    });
    manager.RebuildVertices();
    SetInBetweenFrame(true);
    manager.Draw();
    SetInBetweenFrame(false);
    EXPECT_EQ(last->alive, 1u);
    EXPECT_EQ(last->x, 60.0f);
    EXPECT_EQ(land->ComputeChecksum(), checksum);
}

// Every kind, once in the back pass (behind the terrain's front tiles) and once in the
// front pass, over a strip of terrain; written to build/particles.png.
class ParticlePicture : public DeviceFixture {};

TEST_F(ParticlePicture, EveryKindInBothPassesOverTerrain)
{
    constexpr int kWidth = 480, kHeight = 200;
    StartScreen(kWidth, kHeight);
    TestWorld world;
    ScopedConsoleInt full("enableparticles", 1);
    // Sky above row 120, a wavy ridge of dirt with a rock band below.
    auto land = std::make_unique<Landscape>();
    ASSERT_EQ(land->Create(kWidth, kHeight), TileStore::kCreated);
    for (int x = 0; x < kWidth; ++x) {
        const int top = 120 + int(6.0 * std::sin(x / 23.0));
        land->SetPixel(1, true, 0xFF8A6A2Eu - uint32_t((x / 4) % 3) * 0x00080604u, x, top, x, 169);
        land->SetPixel(2, true, 0xFF6E6E78u, x, 170, x, kHeight - 1);
    }
    ParticleManager manager;
    manager.Init();
    manager.SetLandscape(land.get());
    manager.SetEnabled(true);
    ScopedParticles use(manager);
    const uint32_t tints[kParticleKindCount] = {0xFFE040, 0xFFFFFF, 0x60FF60, 0xFF6090, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                                0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x40E0FF, 0xFFFFFF};
    std::vector<std::array<int, 2>> backPoints, frontPoints;
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        for (const bool back : {true, false}) {
            const float x = 20.0f + float(kind) * 33.0f;
            const float ground = 120.0f + float(int(6.0 * std::sin(x / 23.0)));
            // Back particles sit on the ridge, half sunk into it; front ones just in front.
            const float y = back ? ground : ground - 48.0f;
            Particle* p = manager.AllocParticle(false, ParticleRole::Simulation);
            ASSERT_NE(p, nullptr);
            p->kind = uint8_t(kind);
            p->flags = back ? kParticleBack : 0;
            p->SetPosition(x, y, kind == kParticleDot || kind == kParticlePixel ? 1.0f : 1.0f);
            p->colour = tints[kind];
            p->frame = uint8_t(kind * 7);
            p->angle = kind == kParticleGlib ? 30.0f : 0.0f;
            if (kind == kParticleLopHead + 1)
                p->flags |= kParticleMirrorX;
            manager.CountParticle(*p);
            (back ? backPoints : frontPoints).push_back({int(x), int(y)});
        }
    }
    manager.RebuildVertices();
    for (int column = 0; column < ParticleManager::kColumns; ++column)
        EXPECT_EQ(manager.ColumnVertices(column), 6) << column;

    // The terrain's front tiles as one texture (transparent where empty).
    MemBaseSurface terrain;
    ASSERT_EQ(terrain.Create(kWidth, kHeight), 0);
    gfx::D3DLOCKED_RECT locked;
    ASSERT_TRUE(terrain.Lock(locked));
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kWidth; ++x)
            row[x] = land->GetPixelColour(x, y);
    }
    terrain.Unlock();

    gfx::Device* device = DXManager::GetDevice();
    gfx::D3DXMATRIX identity, projection;
    gfx::D3DXMatrixIdentity(&identity);
    gfx::D3DXMatrixOrthoOffCenterLH(&projection, 0.0f, float(kWidth), float(kHeight), 0.0f, 0.0f, 1.0f);
    DrawFrame([&] {
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF2B3A55u, 1.0f, 0);
        device->SetTransform(gfx::D3DTS_WORLD, &identity);
        device->SetTransform(gfx::D3DTS_VIEW, &identity);
        device->SetTransform(gfx::D3DTS_PROJECTION, &projection);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
        device->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);
        manager.Draw();
        Draw2D::DrawTexturedQuad(terrain.texture, nullptr, 0, 0, 1, 1, 0, 0, 0, 0xFFFFFFFFu);
        device->SetTransform(gfx::D3DTS_WORLD, &identity);
        device->SetTransform(gfx::D3DTS_VIEW, &identity);
        device->SetTransform(gfx::D3DTS_PROJECTION, &projection);
        manager.DrawFront();
    });
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[size_t(y) * kWidth + x] = Pixel(x, y) | 0xFF000000u;
    // Each back particle shows above the ground and is covered below it; each front one
    // shows in the sky.
    for (int kind = 0; kind < kParticleKindCount; ++kind) {
        SCOPED_TRACE(kind);
        const auto [bx, by] = backPoints[size_t(kind)];
        EXPECT_EQ(pixels[size_t(by + 1) * kWidth + size_t(bx)] & 0xFFFFFFu, land->GetPixelColour(bx, by + 1) & 0xFFFFFFu);
        const auto [fx, fy] = frontPoints[size_t(kind)];
        EXPECT_NE(pixels[size_t(fy) * kWidth + size_t(fx)] & 0xFFFFFFu, 0x2B3A55u);
        if (kind != kParticleDot && kind != kParticlePixel) {
            EXPECT_NE(pixels[size_t(by - 2) * kWidth + size_t(bx)] & 0xFFFFFFu, 0x2B3A55u);
        }
    }
    std::vector<uint8_t> png;
    ASSERT_TRUE(platform::image::EncodePng(pixels.data(), kWidth, kHeight, kWidth * 4, true, png));
    const std::string path = std::string(FLIMBS_GAME_DIR) + "/particles.png";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fwrite(png.data(), 1, png.size(), file), png.size());
    std::fclose(file);
    manager.Shutdown();
}

// The vertex buffer follows the device: given up when it is lost (so that the reset can
// go through), made again after it, and the quads rewritten at the next chance.
TEST_F(ParticlePicture, TheVertexBufferFollowsTheDevice)
{
    StartScreen(64, 48);
    ParticleManager manager;
    manager.Init();
    ASSERT_NE(manager.VertexBuffer(), nullptr);
    EXPECT_EQ(manager.VertexBuffer()->Pool(), gfx::D3DPOOL_DEFAULT);
    particleRebuild = false;
    DXManager::GetDevice()->SimulateDeviceLost();
    EXPECT_EQ(DXManager::ResetDevice(), gfx::D3D_OK);
    ASSERT_NE(manager.VertexBuffer(), nullptr);
    EXPECT_TRUE(particleRebuild);
    RebuildParticleVertices(); // with no current manager: clears the flag, nothing else
    EXPECT_FALSE(particleRebuild);
    manager.Shutdown();
    EXPECT_EQ(manager.VertexBuffer(), nullptr);
    // Shut down, it is no longer a device object: a reset goes through without it.
    DXManager::GetDevice()->SimulateDeviceLost();
    EXPECT_EQ(DXManager::ResetDevice(), gfx::D3D_OK);
    EXPECT_EQ(manager.VertexBuffer(), nullptr);
}

// A used-up pickup bursts its sprite frame through the receptacle emitter: visual
// particles only, shown with full detail, turned to the trap's gravity, scaled.
TEST_F(ParticlePicture, AUsedUpPickupBurstsItsFrameThroughTheReceptacleEmitter)
{
    StartScreen(64, 48);
    TestWorld world;
    ScopedConsoleInt full("enableparticles", 1);
    auto land = std::make_unique<Landscape>();
    ASSERT_EQ(land->Create(300, 200), TileStore::kCreated);
    ParticleManager manager;
    manager.Init();
    manager.SetLandscape(land.get());
    ScopedParticles use(manager);
    auto burst = [&](float scale, float rotation) {
        manager.ResetPool();
        manager.SetEnabled(true);
        std::unique_ptr<Trap> pickup = Trap::Create(1);
        pickup->ReleaseGraphics();
        pickup->sprite = ImageCache::GetImage("Graphics\\Particles\\fireball.png"); // the trap's reference
        std::vector<Particle> live;
        EXPECT_NE(pickup->sprite, nullptr);
        if (!pickup->sprite)
            return live;
        pickup->sprite->SetFrameSize(27, 27);
        pickup->sprite->SetHotspot(14, 14);
        pickup->frame = 3;
        pickup->pickup_mode = 1;
        pickup->pickup_left = 1;
        pickup->x = 150, pickup->y = 100;
        pickup->rotation = rotation;
        pickup->SetScale(scale, scale);
        pickup->ConsumePickup();
        EXPECT_EQ(pickup->alive, 0);
        int simulation = 0;
        manager.SimulationPool().ForEachLiveIncludingCurrent([&](const Particle&) { ++simulation; });
        EXPECT_EQ(simulation, 0);
        manager.VisualPool().ForEachLiveIncludingCurrent([&](const Particle& p) { live.push_back(p); });
        return live;
    };
    const std::vector<Particle> plain = burst(1.0f, 90.0f);
    ASSERT_GT(plain.size(), 10u);
    for (const Particle& p : plain) {
        EXPECT_EQ(p.kind, kParticleDot);
        EXPECT_EQ(p.gravity, 3); // rotation 90
        EXPECT_EQ(p.alpha, 64);
        EXPECT_EQ(p.fade, -3);
        EXPECT_FALSE(p.flags & kParticleFalls);
        EXPECT_NEAR(std::hypot(p.vx, p.vy), 12.0f, 0.01f);
        EXPECT_LE(std::fabs(p.WorldX() - 150.0f), 14.0f);
        EXPECT_LE(std::fabs(p.WorldY() - 100.0f), 14.0f);
    }
    // Twice the size: about four times the pixels.
    const size_t doubled = burst(2.0f, 0.0f).size();
    EXPECT_GT(doubled, plain.size() * 3);
    EXPECT_LT(doubled, plain.size() * 5);
    // Without full detail nothing is made, and the simulation generator stays where it was.
    ScopedConsoleInt none("enableparticles", 0);
    const uint32_t before = SimRandom().State();
    EXPECT_TRUE(burst(1.0f, 0.0f).empty());
    EXPECT_EQ(SimRandom().State(), before);
    manager.Shutdown();
}
