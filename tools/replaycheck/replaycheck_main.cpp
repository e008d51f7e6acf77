// replaycheck: runs a fixed match headless and prints the world state hash every 100
// updates, so that two runs with different local settings can be compared line by line.
//
//   replaycheck [--draw] [--preview] [--detail 0|1] [--updates N] [--picture FILE.png]
//               [--level NAME]
//
// With --level the match is that level file (its traps stamped, updated and drawn) instead
// of the recipe and its script.
// The match: a 2048 x 1024 landscape built from a fixed recipe, 96 flimbs of 8 groups, and
// a script of orders given at fixed updates (the ones a player would give: diggers,
// builders, blockers, fuses, floats, steering and jumps). --draw draws every flimb twice per
// update with the in-between frame switched on the second time, as the game's frames do;
// --preview runs the Quantum Time preview on a selected flimb; --detail sets full particle
// detail ("enableparticles", default 1). None may change a hash. The particles of the match
// (dust, debris, break-ups, Lop heads, and a few fireballs and ice missiles the script
// throws) are drawn with the flimbs. --picture writes the landscape with its flimbs after
// the last update (the fixed match only).
#include "tools/headless/HelpOption.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"

#include "app/ConsoleParam.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "game/WorldUpdate.h"
#include "media/DXManager.h"
#include "media/Draw2D.h"
#include "media/Surface.h"
#include "platform/image/ImageCodec.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"
#include "world/FlimbQueries.h"
#include "world/ParticleManager.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/ViewServices.h"
#include "game/GameServices.h"
#include "game/LevelLoader.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace recipe;

namespace {

void PlaceFlimbs()
{
    for (int i = 0; i < 96; ++i) {
        const int group = i % 8;
        const int x = 40 + (i * 211) % (kWidth - 80);
        // On the hills; every third drops from up to 150 pixels over them.
        const int y = HillTop(x) - (i % 3 == 0 ? 40 + (i * 31) % 110 : 0);
        Flimb* flimb = AddFlimb(int16_t(x), int16_t(y), int16_t(i + 1), uint8_t(group), i % 3 == 0 ? kFall : kWalk,
                                0, kFlimbStartEnergy, 0, i % 2 ? 1 : -1);
        if (i % 17 == 5)
            flimb->scale = 0.5f;
        if (i % 23 == 7)
            flimb->scale = 2.0f;
        if (i == 40)
            flimb->SetAttribute(kAttrSteered);
        if (i == 41)
            flimb->SetAttribute(kAttrSureFooted);
        if (i == 50)
            flimb->autoBehaviour = 4; // fights enemies that touch it
    }
    ComputeNextFlimbIds();
}

// One order of the script: at an update, for a flimb id, what happens.
struct Order {
    uint32_t update;
    int16_t id;
    enum Kind { Action, Type, Attribute, SteerPress, SteerRelease, JumpKey, Gulp, Fireball, Ice } kind;
    uint8_t value;
};

const std::vector<Order>& Script()
{
    static std::vector<Order> orders = {
        {40, 2, Order::Action, kClob},         {45, 3, Order::Action, kMold},
        {50, 5, Order::Action, kDrill},        {55, 6, Order::Gulp, 0},
        {56, 6, Order::Action, kGulp},         {60, 8, Order::Action, kDoppel},
        {70, 9, Order::Attribute, kAttrNovaFuse}, {80, 11, Order::Action, kGulp},
        {90, 12, Order::Action, kLop},         {100, 14, Order::Action, kClob},
        {110, 15, Order::Action, kMold},       {120, 17, Order::Type, kStun},
        {130, 18, Order::Action, kDrill},      {150, 20, Order::Action, kDoppel},
        {160, 21, Order::Attribute, kAttrNovaFuse}, {170, 41, Order::SteerPress, 1},
        {175, 41, Order::JumpKey, 0},          {200, 41, Order::SteerRelease, 1},
        {205, 41, Order::SteerPress, 0},       {260, 41, Order::SteerRelease, 0},
        {300, 23, Order::Action, kMold},       {320, 24, Order::Type, kSpin},
        {340, 26, Order::Action, kClob},       {360, 27, Order::Type, kAtomize},
        {400, 29, Order::Attribute, kAttrNovaFuse}, {420, 30, Order::Type, kShock},
        {440, 32, Order::Type, kBurn},         {460, 33, Order::Action, kDrill},
        {500, 35, Order::Action, kMold},       {520, 36, Order::Type, kDrown},
        {560, 38, Order::Action, kClob},       {600, 39, Order::Attribute, kAttrNovaFuse},
        {650, 43, Order::Action, kGulp},       {700, 44, Order::Type, kPuff},
        {750, 45, Order::Action, kDoppel},     {800, 47, Order::Type, kSquish},
        {900, 48, Order::Action, kMold},       {1000, 53, Order::Attribute, kAttrNovaFuse},
        {1100, 54, Order::Action, kDrill},     {1200, 56, Order::Action, kClob},
        {1300, 57, Order::Type, kGraviturn},   {1400, 59, Order::Attribute, kAttrNovaFuse},
        {1500, 60, Order::Action, kLop},       {1600, 62, Order::Action, kMold},
        {1700, 63, Order::Type, kStun},        {1800, 65, Order::Attribute, kAttrNovaFuse},
        {230, 10, Order::Fireball, 0},         {480, 16, Order::Ice, 0},
        {880, 34, Order::Fireball, 0},         {1250, 58, Order::Ice, 0},
    };
    static const bool sorted = [] {
        std::stable_sort(orders.begin(), orders.end(),
                         [](const Order& a, const Order& b) { return a.update < b.update; });
        return true;
    }();
    (void)sorted;
    return orders;
}

// A missile thrown by the flimb from over its head, the way it faces (a trap would throw
// them in a level).
void Throw(Flimb& flimb, ParticleBehaviour behaviour)
{
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(true, ParticleRole::Simulation) : nullptr;
    if (!p)
        return;
    p->behaviour = behaviour;
    p->kind = behaviour == ParticleBehaviour::Fireball ? kParticleFireball : kParticleIce;
    p->flags |= kParticleFalls | kParticlePhysical;
    p->flags2 &= uint8_t(~kParticle2NoExplosion);
    p->owner = &flimb;
    p->SetPosition(float(flimb.x), float(flimb.y - 40), 1.0f);
    p->vx = flimb.walkSpeed < 0 ? -14.0f : 14.0f;
    p->vy = -8.0f;
    p->bounces = 1;
    manager->CountParticle(*p);
}

void Give(const Order& order)
{
    Flimb* flimb = FindFlimbById(order.id);
    if (!flimb)
        return;
    switch (order.kind) {
    case Order::Action:
        flimb->queuedAction = order.value;
        flimb->queuedDelay = 0;
        break;
    case Order::Type:
        if (order.value == kGraviturn) {
            flimb->counter = int8_t(flimb->gravity);
            flimb->targetX = flimb->x;
            flimb->targetY = int16_t(flimb->y - 20);
            flimb->gravity = 1;
        }
        if (order.value == kDrown) {
            flimb->targetX = flimb->x;
            flimb->targetY = int16_t(flimb->y + 10);
        }
        flimb->SetType(order.value);
        break;
    case Order::Attribute:
        flimb->SetAttribute(order.value);
        break;
    case Order::SteerPress:
    case Order::SteerRelease:
        flimb->SetSteerKey(order.kind == Order::SteerPress, order.value != 0);
        break;
    case Order::JumpKey:
        flimb->Jump();
        break;
    case Order::Gulp:
        flimb->flags &= uint8_t(~kFlimbGulpVariant); // the upward gulp
        break;
    case Order::Fireball:
        Throw(*flimb, ParticleBehaviour::Fireball);
        break;
    case Order::Ice:
        Throw(*flimb, ParticleBehaviour::IceMissile);
        break;
    }
}

void DrawWorld()
{
    gfx::Device* device = DXManager::GetDevice();
    for (const bool between : {false, true}) {
        SetInBetweenFrame(between);
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        RebuildTrapDrawList();
        DrawTrapsBackLayer();
        Particles()->Draw();
        DrawTrapsMiddleLayer();
        for (const Flimb& flimb : World())
            if (!flimb.IsFree())
                flimb.Draw();
        if (World().preview.state && World().selected)
            World().preview.copy.Draw();
        DrawTrapsFrontLayer();
        Particles()->DrawFront();
        device->EndScene();
    }
    SetInBetweenFrame(false);
}

// The whole landscape with its flimbs, drawn on a device of its size, as a PNG. (Levels are
// pictured through the game view by viewrun.)
bool WritePicture(const std::string& path)
{
    Landscape& land = *GameLandscape();
    MemBaseSurface terrain;
    if (terrain.Create(kWidth, kHeight) != 0)
        return false;
    gfx::D3DLOCKED_RECT locked;
    if (!terrain.Lock(locked))
        return false;
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t colour = land.GetPixelColour(x, y);
            row[x] = colour >> 24 ? colour : 0xFF1A2433u;
        }
    }
    terrain.Unlock();
    gfx::Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    Draw2D::DrawTexturedQuad(terrain.texture, nullptr, 0, 0, 1, 1, 0, 0, 0, 0xFFFFFFFFu);
    for (const Flimb& flimb : World())
        if (!flimb.IsFree())
            flimb.Draw();
    device->EndScene();
    const int width = kWidth, height = kHeight;
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) | 0xFF000000u;
    std::vector<uint8_t> png;
    if (!platform::image::EncodePng(pixels.data(), width, height, width * 4, true, png))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp("usage: replaycheck [--draw] [--preview] [--detail 0|1] [--updates N] [--picture FILE.png] "
                                "[--level NAME]\n");
    bool draw = false, preview = false;
    int detail = 1;
    std::string picture, level;
    uint32_t updates = 2000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--draw"))
            draw = true;
        else if (!std::strcmp(argv[i], "--preview"))
            preview = true;
        else if (!std::strcmp(argv[i], "--detail") && i + 1 < argc)
            detail = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--picture") && i + 1 < argc)
            picture = argv[++i];
        else if (!std::strcmp(argv[i], "--updates") && i + 1 < argc)
            updates = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--level") && i + 1 < argc)
            level = argv[++i];
        else {
            std::fprintf(stderr,
                         "usage: replaycheck [--draw] [--preview] [--detail 0|1] [--updates N] [--picture FILE.png] "
                         "[--level NAME]\n");
            return 2;
        }
    }
    if (!picture.empty() && !level.empty()) {
        std::fprintf(stderr, "replaycheck: --picture is for the fixed match; viewrun pictures levels\n");
        return 2;
    }
    try {
        HeadlessGame game(picture.empty() ? 256 : kWidth, picture.empty() ? 192 : kHeight);
        SimSrand(42);
        Controller() = GameController{};
        Controller().runState = kRunRunning;
        for (GroupEntry& group : Controller().groups) {
            group.inUse = 1;
            group.uses.fill(kUnlimitedUses);
        }
        ResetMatchOptions();
        CurrentMatchOptions().explosionPhysics = true;
        CurrentMatchOptions().contagiousNova = true;
        InstallStandInBrushes(game.Land());
        if (level.empty()) {
            BuildLandscape(game.Land());
            PlaceFlimbs();
        } else {
            ResetGameController(); // a level starts from the controller's reset state
            std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(level, kLevelLoadGame);
            if (!loader || !LoadLevel(*loader))
                throw std::runtime_error("cannot load " + level);
            CloseLevelDocument(*loader);
            StampTrapsIntoLand();
            Controller().runState = kRunRunning;
        }
        if (ConsoleParam* full = ConsoleParam::Find("enableparticles"))
            full->SetInt(detail);
        // The level start empties the particle pool; the match start switches it on.
        ResetParticles();
        MarkMatchStarted();
        if (preview) {
            Flimb* chosen = FindFlimbById(4);
            for (Flimb& flimb : World())
                if (!chosen && !flimb.IsFree() && flimb.IsAlive())
                    chosen = &flimb;
            if (chosen) {
                chosen->flags |= kFlimbSelected;
                World().selected = chosen;
                World().preview.state = 1;
            }
        }
        size_t next = 0;
        const std::vector<Order>& script = Script();
        for (uint32_t update = 1; update <= updates; ++update) {
            while (level.empty() && next < script.size() && script[next].update == World().clock.updateCounter)
                Give(script[next++]);
            UpdateWorld();
            if (draw)
                DrawWorld();
            if (preview && !World().selected) { // the selected flimb died: choose another
                for (Flimb& flimb : World())
                    if (!flimb.IsFree() && flimb.IsAlive()) {
                        flimb.flags |= kFlimbSelected;
                        World().selected = &flimb;
                        World().preview.state = 1;
                        break;
                    }
            }
            if (update % 100 == 0) {
                std::printf("update %u hash %016llx flimbs %d\n", update,
                            static_cast<unsigned long long>(WorldStateHash()), World().clock.flimbsInPlay);
                std::printf("  particles: %d of the game, %d drawn only\n", Particles()->LiveSimulationParticles(),
                            Particles()->LiveVisualParticles());
            }
        }
        if (!picture.empty() && !WritePicture(picture)) {
            std::fprintf(stderr, "replaycheck: cannot write %s\n", picture.c_str());
            return 1;
        }
        if (!level.empty())
            ClearCurrentGameMode();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "replaycheck: %s\n", error.what());
        return 1;
    }
    return 0;
}
