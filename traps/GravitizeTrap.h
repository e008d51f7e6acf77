#pragma once
// Two area hazards: the gravitize area (kind 31), an invisible rectangle in which loose land
// falls in one of the four directions while it is enabled, and the black hole (kind 32), a
// spinning disc that swallows every flimb whose body comes near its centre.
#include "traps/Trap.h"

class GravitizeTrap : public Trap {
public:
    static constexpr int32_t kKind = 31;
    static constexpr int32_t kSmallest = 8;
    static constexpr int32_t kLargest = 256;

    GravitizeTrap();

    void Update() override;
    // The area: the sprite's frame stretched to the trap's width and height.
    gfx::RECT GetBounds() const override;
    // Only in the level editor, faint.
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    int32_t triggerWidth = 128;
    int32_t triggerHight = 128;
    uint8_t instantFall = 0;
    uint8_t circleMode = 1;
    int32_t gravity = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // The scale factors that stretch the sprite's frame over the area.
    void AreaScale(float& sx, float& sy) const;
};

class BlackHoleTrap : public Trap {
public:
    static constexpr int32_t kKind = 32;
    static constexpr int kSwallowSound = 52;
    static constexpr float kReach = 50.0f;

    BlackHoleTrap();

    // While enabled: spins a degree back, animates and swallows what comes near.
    void Update() override;
    // 32 pixels round the position, times the scale.
    gfx::RECT GetBounds() const override;
    // Swallows a live flimb (not a Nova, Drown or Shock) whose body points come within 50 x
    // scale: event 0, sound 52 and the spiral particles unless it is exempt, then it leaves
    // play uncounted. Nothing while disabled; the preview copy only leaves the world.
    void OnFlimbContact(Flimb* flimb) override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    // Also a random spin angle and start frame.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;

    // Whether one of the flimb's two body points lies within reach of the centre.
    bool Reaches(const Flimb& flimb) const;
};
