#pragma once
// The acid-rain nozzle: every `updatesPerDrop` updates it releases one drop, a simulation
// particle that falls in the trap's direction, bounces and then eats (or adds) terrain
// where it ends. The drops sweep across the nozzle: -45, 0, +45 pixels.
#include "traps/Trap.h"

struct Particle;

class AcidRainTrap : public Trap {
public:
    static constexpr int32_t kKind = 11;

    AcidRainTrap();
    ~AcidRainTrap() override;

    void Update() override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    uint32_t lastDrop = 0;
    int32_t updatesPerDrop = 1;
    int32_t dropSize = 10;
    int32_t dropBounces = 1;
    uint8_t addLand = 0;
    AnimSurface* bubblesSheet = nullptr; // owned image-cache reference
    int32_t sweep = -45;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // Sets up a drop released at update n (the generator already seeded).
    void SetUpDrop(Particle& p, uint8_t direction) const;
};
