#pragma once
// The modify-trap trap (kind 39, "Modifytrap"): an invisible scripting trap that, once
// activated, moves, scales, turns and fades its target traps step by step towards final
// values, optionally turning them round a common centre, or instead breaks them up into
// particles. It raises event 0 when every target has arrived, so modify-traps chain.
//
// Steps run in the world update: one per update, or, with `trigger_ms` above 0 (kept only
// when every target is a background layer), one per `trigger_ms` milliseconds of game clock
// while running, as many as are due.
#include "traps/Trap.h"

#include <cstdint>
#include <vector>

// One target of a modify-trap; everything but the id is worked out at each activation.
struct ModifyTarget {
    uint32_t trapId = 0;
    int32_t finalX = 0;
    int32_t finalY = 0;
    int32_t finalRotation = 0; // degrees; with an orbit the orbit angle to reach
    int32_t finalAlpha = 0;
    float finalScaleX = 0.0f;
    float finalScaleY = 0.0f;
    float orbitAngle = 0.0f; // degrees round the centre
    int32_t orbitRadius = 0; // pixels; 0 or less: no orbit
    bool operator==(const ModifyTarget&) const = default;
};

class ModifyTrapTrap : public Trap {
public:
    enum AtomizeMode : int32_t { kAtomizeNone = 0, kAtomizeRender = 1, kAtomizeSoil = 2, kAtomizeBridge = 3 };

    ModifyTrapTrap();

    void Update() override;
    // Starts a run when idle; an activation while running is ignored. The flimb is not used.
    void Activate(Flimb* by) override;
    // Moves a custom centre and absolute end points by (dx, dy) and relinks the targets.
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    // In play only for a trap flimbs can trigger, in a god mode; always in the level editor.
    void Draw() override;
    void Save(xmlNode* node) const override;
    // A "modify_trap" without its "trap_id" fails the load (GameException).
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    // Timed stepping stays only when every existing target is a background layer.
    void OnLevelLoaded() override;
    // The first record of the removed trap goes.
    void ForgetTrap(Trap* dying) override;
    void HashState(StateHasher& hasher) const override;

    // Works out every record's final values from its target's present ones.
    void Start();
    // One step of every target, the end test and, while idle, the flimb trigger.
    void Step();

    std::vector<ModifyTarget> targets;
    float x_final_scale = 1.0f;
    float x_delta = 0.0f;
    float y_final_scale = 1.0f;
    float y_delta = 0.0f;
    float rot_delta = 0.0f;
    int32_t rotation_final = 0;
    int32_t x_final_pos = 0;
    int32_t y_final_pos = 0;
    float x_pos_delta = 0.0f;
    float y_pos_delta = 0.0f;
    int32_t final_alpha = 0;
    int32_t alpha_delta = 0;
    bool relative = true;
    bool infinite_rot = false;
    int32_t x_center = 0;
    int32_t y_center = 0;
    uint32_t last_step_time = 0;
    int32_t trigger_ms = 0;
    bool running = false;
    bool custom_center = false;
    bool no_rotate = false;
    bool can_trigger = false;
    bool oneshot = false;
    bool show_trap_prediction = false; // editor only, not saved
    bool explode_prim = false;
    int32_t atomizeMode = kAtomizeNone;
    int32_t liqx = 3;
    int32_t liqy = 3;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // One target's step; true when it moved and has not arrived.
    bool StepTarget(ModifyTarget& record, Trap& target);
    void Atomize(Trap& target);
};
