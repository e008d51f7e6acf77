#pragma once
// The sling-shot: launches the flimbs that touch it in the direction it points, replacing
// their motion (Normal), adding to it (Additive) or adding their speed to its own (Speed);
// it can put the flimb on its centre first and turn it to face the launch.
#include "traps/Trap.h"

class SlingShotTrap : public Trap {
public:
    static constexpr int32_t kKind = 12;
    enum Mode : int32_t { kNormal = 0, kAdditive = 1, kSpeed = 2 };
    static constexpr uint32_t kCooldownUpdates = 4;

    SlingShotTrap();
    ~SlingShotTrap() override;

    void Update() override;
    void Activate(Flimb* by) override;
    // The base point test at the trap's position (truncated towards zero).
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    // The launch. The Quantum Time preview's copy gets the push but sets no cooldown and
    // starts no gust.
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The launch direction in degrees: the rotation, or 180 - rotation when mirrored.
    float LaunchAngle() const;
    // (round(M cos a), -round(M sin a)) through the angle table.
    void LaunchVector(int32_t& vx, int32_t& vy) const;
    // The push the mode gives a flimb whose pending push is (vx, vy).
    void ApplyMode(int32_t& vx, int32_t& vy) const;

    AnimSurface* gustSheet = nullptr; // owned image-cache reference
    int32_t gustFrame = 0;
    uint8_t gusting = 0;
    uint8_t showPrediction = 0; // editor only
    int32_t slingMagnitude = 50;
    uint8_t redirect = 0;
    int32_t predictionGravity = 0; // editor only
    int32_t slingMode = kNormal;
    uint8_t predictionGroup = 4; // editor only
    uint8_t centerFlimb = 1;

protected:
    void CopyKindFields(const Trap& source) override;
};
