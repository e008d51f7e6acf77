#pragma once
// The goo gun: a hand gun lying on the landscape. The first flimb that touches it carries
// it; its player aims at the mouse pointer and fires ice missiles with the numeric-pad 0
// key, and drops it with the down arrow. Aims, shots and drops travel as trap states.
#include "traps/MannedDevice.h"

class GooGunTrap : public MannedDevice {
public:
    static constexpr int32_t kKind = 38;
    static constexpr int32_t kPickupInset = 4;
    // The aim point and the muzzle lie this far above the carrier's feet.
    static constexpr int32_t kAimHeight = 40;
    static constexpr float kShotSpeed = 32.0f;

    GooGunTrap();

    void Update() override;
    // One shot from the flimb (the carrier's request, or a linked event's flimb).
    void Activate(Flimb* by) override;
    void Save(xmlNode* node) const override;
    // Always the common children too.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    bool OnDeviceKey(int action, int code, IInputDevice& device) override;

    // The aim from the carrier at the world point: degrees, truncated toward zero.
    int32_t AimAt(int32_t worldX, int32_t worldY) const;

    int32_t gooAngle = 0; // degrees, 0 right, 90 up
    uint8_t dropFlag = 0;

protected:
    void CopyKindFields(const Trap& source) override;
};
