#pragma once
// The ball (kind 18, "Slug"): a creature that crawls pixel by pixel round whatever land it
// clings to, clockwise or anticlockwise, falls in free air and, with ball_kill, atomizes the
// flimbs it meets; after a kill it stands still for 10 updates, shaking.
#include "traps/Trap.h"

class BallTrap : public Trap {
public:
    static constexpr int32_t kKind = 18;
    static constexpr uint32_t kDigestUpdates = 10;
    static constexpr int kKillSound = 66;

    // Where the land it clings to lies: below, behind (x - d), above, ahead (x + d).
    enum Side : uint8_t { kBelow = 0, kBehind = 1, kAbove = 2, kAhead = 3 };

    BallTrap();

    void Update() override;
    // With a flimb it is the contact; without one nothing.
    void Activate(Flimb* by) override;
    // A live flimb dies: an exempt one quietly, any other atomized, with sound 66 and the
    // digesting pause. The Quantum Time preview's copy only leaves the world.
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // Loads the kind's sprite when the trap has none and starts it at a random frame (a
    // drawing matter: the drawing generator). The qdot loads its sprite the same way.
    static void LoadSpriteAtRandomFrame(Trap& trap);
    // The killing contact: the flimb's shrunken body box and the ball's box overlap and
    // fewer than 4 solid pixels lie between their centres.
    bool Touches(const Flimb& flimb) const;
    // A blast broke it: its frame bursts into particles and it leaves the world.
    void Shatter();
    // Whether the ball is digesting at the update: within 10 updates of its last kill.
    bool Digesting(uint32_t update) const;

    uint8_t ballClock = 1;
    uint8_t ballKill = 0;
    int32_t ballSpeed = 4; // steps per update, used as one byte
    uint8_t side = kBelow;
    uint32_t pauseStamp = 0;
    float prevX = 0.0f;
    float prevY = 0.0f;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // Turns the rotation 10 degrees towards the angle of the side.
    void TurnTowardsSide();
    void KillTouching();
    // One pixel along the land, or one pixel of falling.
    void Crawl();
};
