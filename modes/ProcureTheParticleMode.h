#pragma once
// The carrying mode (index 2, "ProcureTheParticle", prefix "ctf"): a flimb that touches a
// Particle trap carries it; the first group that brings a particle into its own exit wins.
// Options decide whether carriers take orders, whether touching flimbs pass the particle
// on, whether a dead carrier drops it, whether groups take each other's particle and
// whether a particle that falls off the map is gone for good.
#include "modes/GameMode.h"

class ProcureTheParticleMode : public GameMode {
public:
    // Updates an old carrier waits before it may take a particle back.
    static constexpr int kPassCooldown = 10;
    // The carrier's neighbourhood is looked up this far above its feet; a flimb closer than
    // this horizontally takes the particle.
    static constexpr float kPassLookUp = 25.0f;
    static constexpr float kPassReach = 6.0f;

    ProcureTheParticleMode();

    void StartMatch() override;
    bool IsMatchOver() override;
    void UpdateMessages() override;
    void GameOver() override;
    void OnGoalReached(int group, int32_t flimbId) override;
    void OnFlimbDied(int32_t flimbId) override;
    void OnPickup(int32_t trapId, int32_t flimbId) override;
    void OnObjectLost(int32_t trapId) override;
    GroupStats AddEndOfMatchStats(int group) override;
    bool IsFlimbControllable(int32_t flimbId) override;
    void ApplyOptionChange(Primitive* control) override;
    void WriteOptions(xmlNode* node) override;
    void ReadOptions(xmlNode* node, xmlNode* defaults) override;
    std::unique_ptr<PrimContainer> BuildOptionsPanel(LayoutEngine* layout) override;
    std::string GetObjectiveText() override;
    void HashState(ModeStateHasher& hasher) const override;
    bool IsOptionKey(const std::string& key) const override;

    // Touching flimbs take the particle over (run by UpdateMessages on every peer).
    void PassByContact();

    bool controlCarrier = false; // "control_particle_flimb"
    bool passByContact = false;  // "pass_particle"
    bool allowDrop = true;       // "allow_drop"
    bool interGroup = false;     // "intergroup"
    bool loseParticle = false;   // "lose_particle"
    uint8_t winnerGroup = kNoGroup;
    bool particleLost = false;
    std::array<int32_t, 8> pickups{};
    std::array<int32_t, 8> drops{};

private:
    bool* OptionField(const std::string& key);
};
