#pragma once
// The elimination mode (index 3, "QuantumQuarrel", prefix "lcs"): a flimb's point value is
// its health (13023 is full); clobbers, loppers and novas hurt the flimbs around them, and
// the match ends when at most one group has flimbs left. Two options let a group hurt its
// own flimbs and a thrower hurt itself.
#include "modes/GameMode.h"

struct FlimbInfo;

class QuantumQuarrelMode : public GameMode {
public:
    static constexpr int32_t kFullHealth = 13023;
    static constexpr int32_t kClobberDamage = 1302;
    static constexpr float kClobberInset = 8.0f;
    static constexpr int32_t kLopperDamage = 3255;
    static constexpr float kLopperRadius = 75.0f;
    static constexpr float kNovaRadius = 125.0f;
    static constexpr float kBigNovaRadius = 200.0f;
    // Blast sources of these kinds are loppers.
    static constexpr int kFirstLopperKind = 4;
    static constexpr int kLastLopperKind = 11;

    QuantumQuarrelMode();

    void StartMatch() override;
    bool IsMatchOver() override;
    void GameOver() override;
    void OnFlimbDied(int32_t flimbId) override;
    void OnFlimbEvent(int32_t flimbId, int flag, int value) override;
    void OnBlast(int32_t sourceFlimbId, float x, float y, int kind) override;
    GroupStats AddEndOfMatchStats(int group) override;
    void ApplyOptionChange(Primitive* control) override;
    void WriteOptions(xmlNode* node) override;
    void ReadOptions(xmlNode* node, xmlNode* defaults) override;
    std::unique_ptr<PrimContainer> BuildOptionsPanel(LayoutEngine* layout) override;
    std::string GetObjectiveText() override;
    void HashState(ModeStateHasher& hasher) const override;
    bool IsOptionKey(const std::string& key) const override;

    // The damage of a lopper blast or a nova at distance d (to the nearest whole number).
    static int32_t LopperDamage(double distance);
    static int32_t NovaDamage(double distance, double radius);

    bool friendlyFire = false; // "friendly_fire"
    bool selfHurt = false;     // "self_hurt"
    std::array<int32_t, 8> kills{};
    std::array<int32_t, 8> multiKills{};

private:
    // Takes the damage from the victim's health or kills it (a kill for the attacker's
    // group); shows the damage text when it is at least 1. True when the victim died.
    bool Hurt(const FlimbInfo& victim, int32_t damage, int attackerGroup);
    // Counts a multi-kill and announces a big one.
    void AfterAttack(int killed, int attackerGroup);
    void Clobber(const FlimbInfo& attacker);
};
