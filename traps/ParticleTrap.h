#pragma once
// The particle (kind 19) of the particle-carrying game mode: it lies in the level until a
// flimb walks into it with its head, then rides on its carrier's head until it is dropped,
// and it is lost when it leaves the world. The trap detects pickups, follows its carrier and
// reports loss; what they mean for the match is the game mode's (OnPickup, OnObjectLost).
#include "traps/Trap.h"

class ParticleTrap : public Trap {
public:
    static constexpr int32_t kKind = 19;
    static constexpr uint8_t kAnyGroup = 255;
    static constexpr uint8_t kCarryingFlag = 0x80;
    static constexpr int8_t kDropCooldown = 10;
    static constexpr int kPickupSound = 24;
    static constexpr int kDropSound = 25;
    static constexpr float kHeadReach = 10.0f;

    ParticleTrap();
    ~ParticleTrap() override;

    void Update() override;
    // Not available any more; a carrier drops it (carrying flag cleared, cool-down 10, sound
    // 25, event 1).
    void Deactivate() override;
    void Draw() override;
    void DrawBack() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    // A removed carrier lets it go (sound 25, event 1).
    void ForgetObject(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    bool CarriesFlimb(const Flimb* flimb) const override { return flimb && flimb == carrier; }
    void HashState(StateHasher& hasher) const override;

    // What the game mode does with it: the carrier by flimb id (-1 or an unknown id: none),
    // placing it, its carrier's id (-1 for none).
    void SetCarrierById(int32_t flimbId);
    void PlaceAt(float px, float py);
    int32_t CarrierId() const;

    int32_t particleGroup = kAnyGroup;
    Flimb* carrier = nullptr; // a record of the world's flimb table, not owned
    int32_t homeX = 0;
    int32_t homeY = 0;
    uint8_t homeSet = 0;
    AnimSurface* backSprite = nullptr; // owned image-cache reference

protected:
    void CopyKindFields(const Trap& source) override;

private:
    bool OutsideWorld() const;
    // The first qualifying flimb picks it up; true when one did.
    bool TryPickup();
    void LetGo();
};
