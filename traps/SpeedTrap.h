#pragma once
// The speed pickup (kind 15): the flimb that touches it, its whole group, the other groups
// or every flimb take several movement steps per update (factor 2, 4 or 8) for a number of
// updates. Always a pickup; it finds its flimbs in its own update, and event 0 fires once in
// every update in which some flimb is inside it.
#include "traps/Trap.h"

#include <string>

class SpeedTrap : public Trap {
public:
    static constexpr int32_t kKind = 15;
    enum Mode : uint8_t { kFlimbOnly = 0, kMyGroup = 1, kOtherGroups = 2, kAllFlimbs = 3 };
    // The flimb's speed timer holds 16 bits.
    static constexpr int32_t kLongestTime = 65535;

    SpeedTrap();

    void Update() override;
    // With a flimb: its contact; without one nothing.
    void Activate(Flimb* by) override;
    // The Quantum Time preview's copy changes nothing.
    void OnFlimbContact(Flimb* flimb) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // 2 or less gives 2, 3 and 4 give 4, 5 or more gives 8.
    static uint8_t NormaliseFactor(int32_t factor);
    // "<mode>-<factor>", "-float" added for a floating pickup.
    std::string SpriteName() const;

    int32_t group = 255;
    int32_t speedTime = 100;
    uint8_t speedFactor = 2;
    uint8_t speedMode = kFlimbOnly;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void SpeedUp(Flimb& flimb) const;
};

// The activation the ball trap shares with the speed trap: with a flimb, the trap's contact
// with it; without one nothing.
void ActivateByContact(Trap& trap, Flimb* by);
