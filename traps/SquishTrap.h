#pragma once
// The squish trap: a crusher that runs its animation once when a flimb comes under it and
// squashes every flimb under it at frame 4; it re-arms when the animation wraps to 0.
#include "traps/Trap.h"

class SquishTrap : public Trap {
public:
    static constexpr int32_t kKind = 7;
    static constexpr uint8_t kCrushFrame = 4;

    SquishTrap();

    void Update() override;
    void Activate(Flimb* by) override;
    void Deactivate() override;
    // The base point test 20 pixels from the position against the trap's facing.
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    // A live flimb of neither type Squish nor Nova becomes a Squish.
    void OnFlimbContact(Flimb* flimb) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    void HashState(StateHasher& hasher) const override;

    uint8_t armed = 1;

protected:
    void CopyKindFields(const Trap& source) override { armed = static_cast<const SquishTrap&>(source).armed; }
};
