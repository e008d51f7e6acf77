#pragma once
// The two sensor traps. The land-watch (kind 33) watches the land under its bounds and fires
// once when it satisfies its watch mode, then disables itself. The camera-watch (kind 52)
// fires each time the game view's rotation arrives at the angle of its direction; it reads
// the local view, so in a match it fires when this peer's view turns.
#include "traps/Trap.h"

#include <cstdint>

class LandWatchTrap : public Trap {
public:
    enum WatchMode : int32_t { kAllAir = 0, kAllSoil = 1, kAnyAir = 2, kAnySoil = 3, kOnChange = 4 };

    LandWatchTrap();

    void Update() override;
    // Fires at the next enabled update without testing; the flimb is not used.
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    int32_t watchMode = kAnyAir;
    bool triggered = false;
    int32_t referenceCount = -1; // "On Change": solid pixels at the first test; -1 not taken

protected:
    void CopyKindFields(const Trap& source) override;
};

class CameraWatchTrap : public Trap {
public:
    enum Direction : int32_t { kDown = 0, kUp = 1, kLeft = 2, kRight = 3 };
    // How near (radians) the view's rotation must come to the direction's angle.
    static constexpr float kTolerance = 0.1f;

    CameraWatchTrap();

    void Update() override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // The view rotation (radians, [0, 2 pi)) of a direction; negative for no direction.
    static float TargetAngle(int32_t direction);
    // The distance between two angles round the circle, 0 .. pi.
    static float AngleApart(float a, float b);

    bool atTarget = false;
    int32_t grav_id = kDown;

protected:
    void CopyKindFields(const Trap& source) override;
};
