#pragma once
// The freezer: a gun turret on the landscape that one flimb at a time mans. Its player turns
// the barrel with the arrow keys or the control strip under the turret, fires ice missiles
// (or fireballs) and leaves again; every control travels as a trap state. An empty turret
// may fall; a manned one that loses its ground lets its rider go.
#include "traps/MannedDevice.h"

class FreezerTrap : public MannedDevice {
public:
    static constexpr int32_t kKind = 28;
    static constexpr int32_t kMinAngle = -30;
    static constexpr int32_t kMaxAngle = 210;
    // Updates after a shot during which every control is inert.
    static constexpr uint32_t kCooldownUpdates = 10;
    // The missile's speed, its start's distance from the pivot, the pivot's height above the
    // trap's point.
    static constexpr float kShotSpeed = 32.0f;
    static constexpr float kMuzzleDistance = 110.0f;
    static constexpr int32_t kPivotHeight = 30;
    enum GunType : int32_t { kIce = 0, kFire = 1 };

    FreezerTrap();
    ~FreezerTrap() override;

    void Update() override;
    // The common bounds widened to hold the barrel turned to the current aim.
    gfx::RECT GetBounds() const override;
    // One shot (linked events and the rider's fire request).
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void ForgetObject(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    // Bit 0 of the mode reads the common children first; the kind's own always.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    bool OnDeviceKey(int action, int code, IInputDevice& device) override;
    bool OnDeviceMouse(int x, int y, int phase) override;

    // The barrel's pivot: 30 pixels above the rounded position against the trap's gravity.
    void Pivot(int32_t& px, int32_t& py) const;
    // Turns the barrel towards the follow target's head (not clamped).
    void AimAtFollowTarget();
    bool CoolingDown() const;

    int32_t freezeAngle = 90; // degrees, 0 right, 90 up, counter-clockwise
    int32_t numBounces = 1;
    int32_t gunType = kIce;
    uint8_t group = 255; // the only group that may board; 255 any
    uint8_t doEject = 0;
    uint8_t followFlimb = 0;
    Flimb* followTarget = nullptr; // not owned
    uint32_t lastFireUpdate = 0;
    uint8_t firing = 0; // the muzzle flash plays

    AnimSurface* barrelSheet = nullptr; // owned image-cache references
    AnimSurface* zapSheet = nullptr;
    AnimSurface* controlsSheet = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;
    void ResetRuntime() override;

private:
    // Sets a control's value, sends the whole state and puts the old value back.
    void RequestAngle(int32_t angle);
    void RequestEject();
    void RequestShot();
    void Release();
};
