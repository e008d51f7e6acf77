#pragma once
// The collectibles of the game modes: the qdot (kind 49), a floating token that the first
// qualifying flimb to touch it collects (the mode is told, the token bursts and is gone), and
// the receptacle (kind 51), into which a flimb delivers the particle it carries (the
// particle is consumed, the receptacle fills and its fluid runs up once).
#include "traps/Trap.h"

class QdotTrap : public Trap {
public:
    static constexpr int32_t kKind = 49;
    static constexpr int kModeSound = 64;
    static constexpr int kPlainSound = 2;

    QdotTrap();

    void Update() override;
    // The common box, 8 pixels smaller on every side.
    gfx::RECT GetBounds() const override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // Whether the flimb may collect qdots: in a networked match and in modes 4 and 5 every
    // flimb, otherwise the local player's group only.
    static bool MayCollect(const Flimb& flimb);

    int32_t group = 255; // kept, saved and edited; the update does not read it

protected:
    void CopyKindFields(const Trap& source) override { group = static_cast<const QdotTrap&>(source).group; }
};

class ReceptacleTrap : public Trap {
public:
    static constexpr int32_t kKind = 51;
    static constexpr uint8_t kAnyGroup = 255;
    static constexpr uint8_t kCarryingFlag = 0x80;

    ReceptacleTrap();
    ~ReceptacleTrap() override;

    void Update() override;
    // The common box 8 pixels narrower on each side and 8 pixels taller at top and bottom.
    gfx::RECT GetBounds() const override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    int32_t group = kAnyGroup;
    uint8_t filled = 0;
    // Drawing state: the fluid's frame, and with it the stop of the main animation.
    int32_t fluidFrame = 0;
    AnimSurface* fluidSprite = nullptr; // owned image-cache references
    AnimSurface* backSprite = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    bool TryDelivery();
};
