#pragma once
// The entanglement machine (kind 5): two pads, 52 pixels either side. When a flimb stands on
// each pad the machine fires a shock of 17 updates, links the two flimbs as partners, turns
// them to face away from each other, hands the player's selection across to the partner and
// lets them go; then it rests for more than 64 updates before it entangles again.
#include "traps/Trap.h"

class EntanglementTrap : public Trap {
public:
    static constexpr int32_t kKind = 5;
    static constexpr int32_t kPadOffset = 52;
    static constexpr int32_t kPadReach = 10;
    static constexpr int32_t kShockEnd = 34;
    static constexpr uint32_t kRestUpdates = 64;
    static constexpr int kPadSound = 50;
    static constexpr int kShockSound = 51;

    EntanglementTrap();
    ~EntanglementTrap() override;

    void Update() override;
    void Draw() override;
    // A removed flimb leaves its pad (and ends a running shock).
    void ForgetObject(Flimb* flimb) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // A pad's position in the world (whichSide -1 left, +1 right).
    void PadPosition(int32_t whichSide, int32_t& px, int32_t& py) const;
    bool Resting() const { return resting != 0; }

    Flimb* leftPad = nullptr; // records of the world's flimb table
    Flimb* rightPad = nullptr;
    uint32_t lastShot = 0;
    int32_t shockFrame = -1;
    AnimSurface* shockSprite = nullptr; // owned image-cache reference

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void Complete();
    // A pad emptied while the shock runs: the survivor goes free as a walker, the machine
    // starts over.
    void AbortShock();
    void FillPads();
    void TakePad(Flimb& flimb, int32_t whichSide);

    // The rest after a shot, apart from `enabled`, so that a script's disable stays.
    uint8_t resting = 0;
};
