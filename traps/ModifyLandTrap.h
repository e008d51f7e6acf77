#pragma once
// The modify-land trap: an invisible scripting trap that moves, scales and turns pieces of
// the landscape (terrain primitives). Once activated it steps every target towards its
// final values every mod_speed-th update, taking the old image out of the land and stamping
// the new one in; optional passes carry flimbs standing on a moving platform, push flimbs
// out of the way of land moving into them and crush those walled in. When every target has
// arrived it fires event 0, so traps chain (and a linked pair loops).
#include "traps/ModifyLandPrimStore.h"
#include "traps/Trap.h"

#include <memory>
#include <vector>

struct AreaEffectParams;

// One target of a modify-land trap and the values of its current run (all but the primitive
// and its id recomputed at each activation).
struct ModifyLandTarget {
    ModifiedPrimitivePtr prim; // shared with the store and other traps
    int32_t prim_id = 0;
    int32_t final_x = 0, final_y = 0;
    int32_t final_rot = 0; // degrees; with an orbit the orbit angle to reach
    float step_x = 0.0f, step_y = 0.0f, step_rot = 0.0f; // this step's change (platform passes)
    float final_scale_x = 1.0f, final_scale_y = 1.0f;
    float orbit_angle = 0.0f; // degrees around the centre
    int32_t orbit_radius = 0; // pixels; 0 or less: no orbit
    int32_t center_x = 0, center_y = 0;
};

// A primitive's place: position, scale and turn (degrees).
struct PrimitivePose {
    float x = 0.0f, y = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    float rotation = 0.0f;
};

class ModifyLandTrap : public Trap {
public:
    static constexpr int32_t kKind = 50;
    static constexpr uint32_t kTouchUpdates = 16;
    static constexpr int kCrushSound = 32;
    enum AtomizeMode : int32_t { kAtomizeNone = 0, kAtomizeRender = 1, kAtomizeSoil = 2, kAtomizeBridge = 3 };

    ModifyLandTrap();
    ~ModifyLandTrap() override;

    void Update() override;
    // The trigger area: trigger_width by trigger_hight centred on the position.
    gfx::RECT GetBounds() const override;
    // Starts a run (final values computed now); ignored while one runs.
    void Activate(Flimb* by) override;
    void Deactivate() override;
    // Moves a custom centre and absolute finals by (dx, dy); records of a remapped object id
    // take the new id's primitive (a moved copy of theirs when the store has none).
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    // In play only with can_trigger while "god" or "demigod" is on: the trigger area.
    void Draw() override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ResetToStart(int32_t loadMode) override { load_mode = loadMode; }
    void HashState(StateHasher& hasher) const override;

    // Computes every record's final values at an activation (play: the prediction flag clear).
    void PrepareTargets(bool prediction);
    // One step of one primitive's pose; commit keeps the orbit angle's step and recaptures
    // the platform mask. allDone is cleared when a property that is not finished moved.
    void StepPrimitive(ModifyLandTarget& target, ModifiedPrimitive& primitive, PrimitivePose& pose, bool commit,
                       bool& allDone);
    // The particle record of a target's stamps; none when atomizeMode is 0.
    std::unique_ptr<AreaEffectParams> MakeParticleRecord(const ModifiedPrimitive& primitive) const;

    // A record per target, in the order they were added.
    std::vector<ModifyLandTarget> targets;
    int32_t trigger_width = 64, trigger_hight = 64;
    int32_t atomizeMode = kAtomizeNone;
    uint8_t explode_prim = 0;
    float x_final_scale = 1.0f, x_delta = 0.0f;
    float y_final_scale = 1.0f, y_delta = 0.0f;
    int32_t rotation_final = 0;
    int32_t x_final_pos = 0, y_final_pos = 0;
    float rot_delta = 0.0f;
    float x_pos_delta = 0.0f, y_pos_delta = 0.0f;
    int32_t mod_speed = 1;
    int32_t liqx = 3, liqy = 3;
    uint8_t writeover = 1;
    uint8_t relative = 1;
    uint8_t infinite_rot = 0;
    int32_t x_center = 0, y_center = 0;
    uint8_t active = 0;
    uint8_t can_push = 1;
    uint8_t can_trigger = 0;
    uint8_t custom_center = 0;
    uint8_t no_rotate = 0;
    uint8_t restore_land = 0;
    uint8_t oneshot = 0;
    uint8_t mouseLink = 0;
    uint8_t forceAir = 0;
    uint8_t can_crush = 1;
    uint8_t platform = 1;
    int32_t activator_direction = 0;
    int32_t load_mode = 0;
    uint8_t show_prim_prediction = 0; // editor only; not saved

protected:
    void CopyKindFields(const Trap& source) override;

private:
    struct PushedFlimb; // a flimb the push prediction noted, with its solid count
    class RunState;     // the flimbs noted in one update

    void ErasePass();
    void PlatformPass(RunState& run);
    bool StepPass();
    void UnstickPass(RunState& run);
    void PushPass(RunState& run);
    void PredictPushes(RunState& run);
    void CarryStanding(ModifyLandTarget& target, ModifiedPrimitive& primitive, RunState& run);
    void PushFlimb(ModifyLandTarget& target, ModifiedPrimitive& primitive, Flimb& flimb);
    // Crushes the flimb when the strip is entirely solid: its particles, gone, event 1,
    // sound 32. True when it was crushed.
    bool CrushIfWalledIn(Flimb& flimb, const gfx::RECT& strip);
    void StampTarget(ModifyLandTarget& target, ModifiedPrimitive& primitive, const PrimitivePose& before);
    void ComputeSteps(ModifyLandTarget& target, const ModifiedPrimitive& primitive) const;
    int CacheFlags(const ModifiedPrimitive& primitive) const;
};

// The emitter of crush particles: one particle per pixel, reseeded from the update number
// and the pixel, flying towards the record's point.
void EmitCrushParticle(BashEmitter& record, int x, int y, uint32_t colour);
