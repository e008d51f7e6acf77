#pragma once
// The exit trap (kind 22): where flimbs leave a level saved. A flimb in its mouth, upright
// for the exit's orientation and no larger than it, is beamed up: the game mode is told,
// the exit counts it and fires event 0. It may want a minimum (a red or green number),
// stop after a maximum (event 2), admit only its own group, or be bogus: a crusher that
// atomizes the flimbs in its mouth (event 1). It pulses a glow, sends sparkles up and may
// lay a protective pad when the level is stamped.
#include "traps/Trap.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The values of the in-match settings panel that changed (unset: left as it is).
struct ExitSettings {
    std::optional<bool> defaultOn; // the exit is used in the match ("Active")
    std::optional<bool> applyProtection;
    std::optional<bool> exclusive;
};

class ExitTrap : public Trap {
public:
    static constexpr int32_t kNoMaximum = 9999;

    struct Sparkle {
        int32_t x = 0;     // offset from the emitter's centre
        float rise = 0.0f; // pixels risen
        float speed = 1.0f;
        int32_t frame = 0;
    };
    struct SparkleEmitter {
        bool on = true;
        float probability = 0.1f;
        float width = 85.0f;
        float height = 70.0f;
        std::vector<Sparkle> sparkles;
    };

    ExitTrap();
    ~ExitTrap() override;

    void SetScale(float s, float ignored) override;
    void Update() override;
    void SetEnabled(bool on) override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    void DrawExtra() override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ResetToStart(int32_t loadMode) override;
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
    void SetFlimbsWanted(int32_t count) override { minFlimbs = count; }
    bool IsOpen() const override { return enabled && on; }
    int32_t SavedCount() const override { return savedCount; }
    int32_t FlimbsTakenIn() const override { return savedCount; }
    int32_t FlimbsWanted() const override { return minFlimbs; }

    // What the settings panel's Apply gives the exit: "Active" sets whether it is used.
    void ApplySettings(const ExitSettings& settings);
    // The absorbing rectangle at the position, turned to the exit's direction.
    gfx::RECT GetMouthRect() const;
    uint8_t Direction() const;
    // What the number above the exit shows ("" for none) and its colour; the star in mode 1.
    bool ShowsStar() const;
    std::string NumberText(uint32_t& colour) const;

    bool defaultOn = true;
    bool on = true;
    bool bogus = false;
    bool exclusive = false;
    bool applyProtection = false;
    int32_t savedCount = 0;
    int32_t maxFlimbs = kNoMaximum;
    int32_t minFlimbs = 0;
    bool crushing = false;
    bool crushed = false;
    int32_t crushOffset = 0;
    int32_t crushStep = 0;
    bool beaming = false;
    int32_t glowLevel = 0;
    int32_t glowStep = 5;
    std::array<SparkleEmitter, 2> emitters;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    static uint8_t CheckedGroup(int32_t group);
    void StepEmitter(SparkleEmitter& emitter);
    void Crush();
    void DrawEmitter(const SparkleEmitter& emitter) const;
    void Release();

    uint8_t group_ = 0;
    int32_t loadMode_ = 0;
    AnimSurface* beam_ = nullptr;
    AnimSurface* glow_ = nullptr;
    AnimSurface* sparkle_ = nullptr;
    AnimSurface* star_ = nullptr;
};
