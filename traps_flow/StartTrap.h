#pragma once
// The start trap (kind 21): releases the flimbs of one group, one every so many updates of
// its release clock while it is active, enabled and has stock; shows the stock as a number
// and as the fill of its tank; pulses a glow, flashes on each release; fires event 0 after
// each release and 1 when it runs empty; may lay a protective pad when the level is stamped.
#include "traps/Trap.h"
#include "traps_flow/TankImage.h"

#include <array>
#include <optional>

// The values of the in-match settings panel that changed (unset: left as it is).
struct StartSettings {
    std::optional<int32_t> releaseRate; // kept within 50..20000
    std::optional<int32_t> flimbsLeft;  // kept within 0..999; the tank is redrawn
    std::optional<int32_t> facing;      // kept within -1..1
    std::optional<int32_t> scaleChoice; // 0..3: small, normal, large, huge
    std::optional<bool> activated;
    std::optional<bool> applyProtection;
};

class StartTrap : public Trap {
public:
    static constexpr int32_t kDefaultRate = 4500;
    static constexpr int32_t kClockStep = 80;
    static constexpr int32_t kMatchDelay = 40;
    static constexpr int32_t kMaxEnergy = 13023;

    StartTrap();
    ~StartTrap() override;

    void SetScale(float sx, float sy) override;
    void Update() override;
    void Activate(Flimb* by) override;
    void Deactivate() override;
    void SetEnabled(bool on) override;
    void Draw() override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void StampLand() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    std::unique_ptr<LayoutPanel> BuildSettingsPanel() override;
    void ApplySettingsPanel(Primitive* changed) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    uint8_t Group() const override { return group_; }
    void SetGroup(uint8_t group) override;
    void SetFlimbsLeft(int32_t count) override;
    int32_t FlimbsLeft() const override { return flimbsLeft_; }
    void SetSecondUniverseStart(bool second) override { secondUniverse_ = second; }
    int32_t FlimbEnergySetting() const override { return spawnEnergy; }

    // Where released flimbs appear: the rounded position moved round(45 x scale x) pixels
    // along the trap's down direction.
    void GetSpawnPoint(int32_t& px, int32_t& py) const;
    // The trap's down direction (from its rotation in whole degrees).
    uint8_t Direction() const;
    // What the settings panel's Apply gives the start point.
    void ApplySettings(const StartSettings& settings);
    // 0.5, 1, 2 or 3 for |scale|.
    static float SnapScale(float scale);

    // Settings and state (tests and panels read them; the panels write through the setters).
    int32_t releaseRate = kDefaultRate;
    int32_t releaseClock = kDefaultRate;
    int32_t facing = 0;
    int32_t spawnEnergy = kMaxEnergy;
    int32_t spawnEnergyDelta = 0;
    uint8_t aiMask = 0;
    bool applyProtection = false;
    bool flashOn = false;
    uint32_t flashStamp = 0;
    int32_t glowLevel = 0;
    int32_t glowStep = 5;

    const TankImage& Tank() const { return tank_; }
    bool IsSecondUniverseStart() const { return secondUniverse_; }

protected:
    void CopyKindFields(const Trap& source) override;
    void ResetRuntime() override;

private:
    enum Part { kFullTank, kEmptyTank, kBase, kShock, kSpark, kGlow, kPartCount };
    // Takes a group from a file or a panel: outside 0..7 it is logged and taken as 0.
    static uint8_t CheckedGroup(int32_t group);
    void LoadPart(Part part, uint8_t group);
    void ReleasePart(Part part);
    void RebuildTank();
    void Release();
    void PulseGlow(bool keepGoing);

    uint8_t group_ = 0;
    int32_t flimbsLeft_ = 100;
    bool secondUniverse_ = false;
    std::array<AnimSurface*, kPartCount> parts_{};
    TankImage tank_;
};
