#pragma once
// The frozen flimb (kind 17): a flimb frozen in ice. A flimb that touches it thaws it: after
// 50 updates of thawing a walking flimb of the trap's group (or of the thawer's group) takes
// its place with the trap's size, dark powers and energy. Allowed to fall, it shatters when it
// lands after a fall of 95 pixels or more; a flimb exploding near it shatters it while it is
// still more than half frozen.
#include "traps/Trap.h"

class FrozenFlimbTrap : public Trap {
public:
    static constexpr int32_t kKind = 17;
    static constexpr uint8_t kAnyGroup = 255;
    static constexpr int32_t kUnknownFacing = 255;
    static constexpr uint8_t kSpawnFrame = 50;
    static constexpr uint8_t kShatterableBelow = 25;
    static constexpr int32_t kShatterFall = 95;
    static constexpr uint8_t kMaxFallSpeed = 10;
    static constexpr float kShatterReach = 125.0f;

    FrozenFlimbTrap();

    void Update() override;
    // The sprite's box at the flimb size.
    gfx::RECT GetBounds() const override;
    // With a flimb: a group-less trap takes the flimb's group, an unknown facing the flimb's.
    // Then the trap thaws.
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    // A flimb exploded: within 125 pixels, while the thaw counter is below 25, the ice shatters.
    void OnFlimbExploded(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    uint8_t Group() const override { return group; }
    // Stores the group and reloads the group-coloured sprite.
    void SetGroup(uint8_t newGroup) override;
    int32_t FlimbEnergySetting() const override;
    void TakeFrozenFlimb(int32_t energy, int32_t facingSign, float size, uint8_t made, int32_t timer,
                         int32_t state) override;
    void TakeHeldFlimb() override { holding = 1; }
    bool HoldsFlimbOfGroup(uint8_t g) const override { return holding != 0 && group == g; }

    // The size a panel value stands for: below 1 small (0.5), above 1 large (2), 1 itself.
    static float NormalisedSize(float size);

    float flimbSize = 1.0f;
    uint8_t darkFlimb = 0;
    uint8_t group = kAnyGroup;
    int32_t spawnEnergy = 13023;
    int32_t facing = kUnknownFacing; // +1 / -1
    uint8_t thawed = 0;
    uint8_t fallSpeed = 1;
    int32_t fallDistance = 0;
    // What a freeze (an ice missile, a mush-bomb) gives it; kept and copied, nothing reads them.
    uint8_t madeByFreeze = 0;
    int32_t freezeTimer = 0;
    int32_t freezeState = 0;
    // The level reader handed it the default group's held flimb.
    uint8_t holding = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void SpawnThawedFlimb();
    // The ice bursts into particles towards the trap's gravity from (fromX, fromY); the trap
    // is gone.
    void Shatter(int32_t fromX, int32_t fromY);
};
