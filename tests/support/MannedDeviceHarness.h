#pragma once
// The trap harness for the manned devices: a particle pool of its own (switched on), the
// "TrapAction" and "TrapExit" bindings on A and B, a local player, keys and mouse presses
// handed to a device's GUI panel as the game view hands them, and updates that first
// execute the trap states the session received for them (as every client does at the
// update stamped on them).
#include "tests/support/TrapHarness.h"

#include "app/KeyBindings.h"
#include "game/GameController.h"
#include "gui/Primitive.h"
#include "media/KBManager.h"
#include "media/KeyTables.h"
#include "world/Flimb.h"
#include "world/ParticleManager.h"
#include "world/WorldState.h"

#include <optional>

class MannedDeviceHarness : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        particles.Init();
        particles.SetEnabled(true);
        useParticles_.emplace(particles);
        GetBindingStore().Build({{"TrapAction", "TrapExit"}});
        GetBindingStore().FindByName("TrapAction")->keyNames[0] = "A";
        GetBindingStore().FindByName("TrapExit")->keyNames[0] = "B";
    }
    void TearDown() override
    {
        GetBindingStore().Clear();
        TrapHarness::TearDown();
        useParticles_.reset();
        particles.Shutdown();
    }

    // A landscape of the size with solid ground from row `ground` down.
    void LoadGround(int width, int height, int ground, EdgeModes edges = {})
    {
        AsciiMap rows(size_t(height), std::string(size_t(width), '.'));
        for (int y = ground; y < height; ++y)
            rows[size_t(y)] = std::string(size_t(width), '#');
        LoadMap(rows, edges);
    }
    // A flimb of the local player: selected by it and flagged selected.
    Flimb* LocalFlimb(int x, int y, uint8_t group = 0)
    {
        Flimb* flimb = PlaceAt(x, y, group);
        flimb->flags |= kFlimbSelected;
        Controller().localPlayer->highlightedFlimb = flimb->id;
        Controller().localPlayer->group = group;
        return flimb;
    }
    // A key event (1 pressed, 2 repeated, 0 released) through the device's GUI panel.
    static int Key(Trap& device, int code, int action = 1)
    {
        return device.GuiPart()->OnKey(action, code, false, kbManager);
    }
    static int KeyCode(const char* name) { return KeyCodeFromName(name); }
    // The running updates: the trap states stamped for each are executed before it runs.
    void Step(int updates = 1)
    {
        for (int i = 0; i < updates; ++i) {
            if (session)
                session->ExecuteTrapStates(World().clock.updateCounter);
            UpdateWorld();
        }
    }
    // The live particles of the simulation pool.
    std::vector<Particle> LiveShots()
    {
        std::vector<Particle> live;
        particles.SimulationPool().ForEachLiveIncludingCurrent([&](const Particle& p) { live.push_back(p); });
        return live;
    }

    ParticleManager particles;

private:
    std::optional<ScopedParticles> useParticles_;
};
