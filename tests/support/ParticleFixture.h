#pragma once
// The particle fixture: a fresh world, a particle manager of its own (current for the
// test, switched on, no graphics device: its vertex buffer is plain memory), and an
// ASCII-map landscape (tests/support/WorldFixture.h) that the particles move in and stamp
// into. Step() runs one particle update at the world's update counter and moves it on.
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TestWorld.h"
#include "tests/support/WorldFixture.h"

#include "app/Random.h"
#include "world/ParticleManager.h"
#include "world/WorldClock.h"

#include <memory>
#include <optional>

class ParticleFixture : public WorldFixture {
protected:
    void SetUp() override
    {
        manager.Init();
        manager.SetEnabled(true);
        use_.emplace(manager);
    }
    void TearDown() override
    {
        use_.reset();
        manager.Shutdown();
    }
    // A landscape from the map, used by the manager.
    void UseMap(const AsciiMap& rows, EdgeModes edges = {}, int width = 0, int height = 0)
    {
        LoadMap(rows, edges, width, height);
        manager.SetLandscape(land.get());
    }
    // One particle update, then the update counter + 1.
    void Step(int updates = 1)
    {
        for (int i = 0; i < updates; ++i) {
            manager.Update();
            ++CurrentUpdateCounter();
        }
    }
    // A booked particle of the role, set up by fn before it is booked.
    template <class Fn>
    Particle* Make(ParticleRole role, Fn fn, bool persistent = false)
    {
        Particle* p = manager.AllocParticle(persistent, role);
        if (!p)
            return nullptr;
        fn(*p);
        manager.CountParticle(*p);
        return p;
    }
    // A step for driving one particle by hand (no pool, its own generator).
    ParticleStep HandStep(uint32_t counter)
    {
        ParticleStep step;
        step.land = land.get();
        step.random = &handRandom;
        step.updateCounter = counter;
        step.universeWidth = land ? land->Width() : 0;
        return step;
    }

    TestWorld world;
    ParticleManager manager;
    RandomGenerator handRandom{1};

private:
    std::optional<ScopedParticles> use_;
};
