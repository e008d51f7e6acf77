#pragma once
// The mush-bomb: a blast circle that grows from 0 to its maximum radius; every flimb it
// reaches gets the bomb's effect once per blast (atomize, solidify, ice, fire, the four
// gravities, shrink, grow, stun, bridge). It goes off by touch (the toucher is atomized),
// every `period` updates, or when activated.
#include "traps/Trap.h"

class MushBombTrap : public Trap {
public:
    static constexpr int32_t kKind = 13;
    enum MushType : int32_t {
        kAtomize = 0,
        kSolidify,
        kIce,
        kFire,
        kGravityUp,
        kGravityDown,
        kGravityLeft,
        kGravityRight,
        kShrink,
        kGrow,
        kStun,
        kBridge,
        kMushTypeCount
    };

    MushBombTrap();
    ~MushBombTrap() override;

    void Update() override;
    // Starts a blast keeping `affected`; sound 21.
    void Activate(Flimb* by) override;
    void Deactivate() override;
    // The blast test over every record in use not yet affected, then `flimb`; null while not
    // exploding or without a hit.
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    // The effect, the simulation generator seeded with the update number first.
    void OnFlimbContact(Flimb* flimb) override;
    // Drops the flimb's cooldown and its place in `affected` (its record may be reused).
    void ForgetObject(Flimb* flimb) override;
    void ExtraPass() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    // A speed of 0 or less reads as 1, so that a blast always ends.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // Whether the blast of the current radius reaches the point.
    bool BlastReaches(int32_t px, int32_t py) const;
    bool IsAffected(const Flimb* flimb) const;
    // The period as stored: 1..9 become 10, above 54000 becomes 54000, 0 stays.
    static uint32_t BoundedPeriod(int64_t period);

    AnimSurface* ringImage = nullptr; // owned image-cache reference
    uint32_t periodCount = 0;
    int32_t maxRadius = 1000;
    int32_t radius = 0;
    int32_t radiusStep = 100;
    int32_t mushType = kAtomize;
    uint32_t period = 0;
    int32_t drawExtra = 0;
    std::vector<int32_t> affected; // flimb table slots, in the order they were hit
    uint8_t exploding = 0;
    uint8_t liquidAdds = 0;
    uint32_t previewClock = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void TakeOutOfWorld(Flimb& flimb) const;
    void Freeze(Flimb& flimb) const;
};
