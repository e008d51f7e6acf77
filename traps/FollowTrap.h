#pragma once
// Two creatures that move by themselves. The follower (kind 23) sleeps until a flimb touches
// it, then drifts after that flimb (or the centre of a group's flimbs), optionally eating
// through the land and atomizing the flimbs it touches. The walk bug (kind 26) crawls along
// the ground, climbing steps of up to 3 pixels and turning at higher ones, and kills every
// flimb it touches.
#include "traps/Trap.h"

class FollowTrap : public Trap {
public:
    static constexpr int32_t kKind = 23;
    static constexpr uint8_t kFollowTarget = 1;
    static constexpr uint8_t kDiggingLandMode = 3;
    static constexpr const char* kDigImage = "Graphics\\Traps\\Follower\\dig.png";

    FollowTrap();

    void Update() override;
    // The sprite's box at the follower's scale.
    gfx::RECT GetBounds() const override;
    void Draw() override;
    // A removed target is forgotten: the follower sleeps again.
    void ForgetObject(Flimb* flimb) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // Where it heads this update; false when no flimb gives a goal.
    bool Goal(int32_t& gx, int32_t& gy) const;

    uint8_t awake = 0;
    float followerScale = 1.0f; // "scale"
    uint8_t followMode = kFollowTarget;
    uint8_t landMode = 1;
    uint8_t killFlimbs = 0;
    Flimb* target = nullptr; // a record of the world's flimb table
    uint8_t targetGroup = 0; // 0: every group

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void StepAnimation();
    void Dig();
};

class WalkBugTrap : public Trap {
public:
    static constexpr int32_t kKind = 26;
    static constexpr int kStepsPerUpdate = 3;
    static constexpr int kHighestStep = 3;

    WalkBugTrap();

    void Update() override;
    void Activate(Flimb* by) override;
    void Deactivate() override;
    // The flimb dies: atomized unless it is exempt. The preview copy only leaves the world.
    void OnFlimbContact(Flimb* flimb) override;
    void HashState(StateHasher& hasher) const override;

    uint8_t active = 1; // kept for scripts; it walks and kills regardless
    uint8_t facing = 1; // 1 walking left, 0 right

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void Step();
};
