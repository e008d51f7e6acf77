// The world state hash: alike worlds agree; any simulation change shows; a selection does not.
#include "app/Random.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/TestWorld.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Two flimbs and two traps in the current world, with the generator at a known state.
void BuildWorld(std::vector<std::string>& journal)
{
    SimSrand(77);
    AddFlimb(10, 20, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    AddFlimb(30, 20, 2, 1, kFall, 2, 500, 0, -1);
    RegisterTrap(std::make_unique<RecordingTrap>(1, journal));
    RegisterTrap(std::make_unique<RecordingTrap>(22, journal));
}

uint64_t HashOf(const std::function<void()>& change)
{
    std::vector<std::string> journal;
    TestWorld test;
    BuildWorld(journal);
    if (change)
        change();
    return WorldStateHash();
}

TEST(StateHash, AlikeWorldsHashEqualAndEveryChangeShows)
{
    const uint64_t base = HashOf(nullptr);
    EXPECT_EQ(HashOf(nullptr), base);

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a flimb field", [] { World().flimbs[1].typeAge = 9; }},
        {"a flimb float", [] { World().flimbs[0].scale = 1.5f; }},
        {"a flimb's flags", [] { World().flimbs[0].flags |= kFlimbFuseLit; }},
        {"a trap's alive flag", [] { World().traps.all[1]->alive = 0; }},
        {"a tally", [] { ++World().tallies[3][kTallyMarked]; }},
        {"the update counter", [] { ++World().clock.updateCounter; }},
        {"a generator step", [] { SimRand(); }},
        {"a removed flimb", [] { UncountFlimb(World().flimbs[0]); }},
    };
    for (const auto& [what, change] : changes)
        EXPECT_NE(HashOf(change), base) << what;

    EXPECT_EQ(HashOf([] {
                  World().flimbs[0].flags |= kFlimbSelected;
                  World().selected = &World().flimbs[0];
              }),
              base)
        << "the selection is the local player's";
}

TEST(StateHash, TheGameLandscapeTakesPart)
{
    InitLandscape();
    Landscape& land = *GameLandscape();
    land.Create(256, 128);
    land.PlotPixel(1, 0xFF112233u, 40, 50);
    const uint64_t base = HashOf(nullptr);
    land.PlotPixel(2, 0xFF112233u, 40, 50);
    EXPECT_NE(HashOf(nullptr), base) << "a material pixel";
    land.PlotPixel(1, 0xFF112234u, 40, 50);
    EXPECT_NE(HashOf(nullptr), base) << "a tile colour";
    land.PlotPixel(1, 0xFF112233u, 40, 50);
    EXPECT_EQ(HashOf(nullptr), base);
    ReleaseLandscape();
    EXPECT_NE(HashOf(nullptr), base) << "no landscape";
}

TEST(StateHash, ATrapKindAddsItsOwnState)
{
    struct Counter : RecordingTrap {
        using RecordingTrap::RecordingTrap;
        void HashState(StateHasher& h) const override { h.Add(count); }
        int32_t count = 0;
    };
    std::vector<std::string> journal;
    TestWorld test;
    auto counter = std::make_unique<Counter>(45, journal);
    Counter* raw = counter.get();
    RegisterTrap(std::move(counter));
    const uint64_t before = WorldStateHash();
    raw->count = 1;
    EXPECT_NE(WorldStateHash(), before);
}

} // namespace
