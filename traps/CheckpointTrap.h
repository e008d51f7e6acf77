#pragma once
// The checkpoint post (kind 54): the first flimb of its group to touch it switches its light
// from "off" to "on", fires event 0, plays sound 2 and, outside a networked match, asks for
// the level's automatic checkpoint with the notice "Auto-Checkpoint set!". A post is reached
// once; after that it only plays its animation out.
#include "traps/Trap.h"

class CheckpointTrap : public Trap {
public:
    static constexpr int32_t kKind = 54;
    static constexpr int kReachedSound = 2;

    CheckpointTrap();
    ~CheckpointTrap() override;

    void Update() override;
    // Reaches the post (once); `by` may be null (an event without a flimb).
    void Activate(Flimb* by) override;
    // The head, then the light over it.
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    // "head" in the local player's group (group 0 without one) and the light "off".
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    int32_t group = 255;
    uint8_t reached = 0;
    AnimSurface* lightSprite = nullptr; // owned image-cache reference

protected:
    void CopyKindFields(const Trap& source) override;
    void ResetRuntime() override { lightSprite = nullptr; }
};
