#pragma once
// The swap trap: a glowing ball that hands every flimb passing through it to the next group
// taking part in the match. Its colour cycle and spin are looks only: they live in
// drawing fields and never touch the trap's rotation or tint.
#include "traps/Trap.h"

class SwapTrap : public Trap {
public:
    static constexpr int32_t kKind = 2;
    static constexpr uint32_t kCooldownUpdates = 4;

    SwapTrap();
    ~SwapTrap() override;

    void Update() override;
    // The 32 x 32 square round the position, whatever the sprite.
    gfx::RECT GetBounds() const override;
    void Draw() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The group a flimb of `group` goes to: the next participating group above it, else the
    // lowest from 0 up to its own; 255 when no group takes part.
    static uint8_t NextGroup(uint8_t group);

    uint8_t swapped = 0;
    AnimSurface* frontSheet = nullptr; // owned image-cache references
    AnimSurface* backSheet = nullptr;
    // Drawing only: the colour cycle's clock and target, the ball's colour and spin.
    uint32_t colourClock = 0;
    uint8_t colourGroup = 3;
    uint32_t drawTint = 0;
    float drawRotation = 0.0f;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void Swap(Flimb& flimb);
    void StepColourCycle();
};
