#pragma once
// The anti-gravity trap (kind 9, "AntiGrav"): up to four rules, each from a gravity
// direction (or any) to another; a flimb whose gravity matches the first matching rule is
// turned, lifted off its floor and made to play the turning animation. A small ring at a
// point, an invisible rectangular gravity area, or a pickup whose arrows show its rules.
#include "traps/Trap.h"

#include <array>

class AntiGravTrap : public Trap {
public:
    static constexpr int32_t kKind = 9;
    static constexpr int32_t kAny = 4;
    static constexpr int32_t kEmpty = -1;

    AntiGravTrap();
    ~AntiGravTrap() override;

    void Update() override;
    gfx::RECT GetBounds() const override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    void DrawBack() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The editor's buttons: the trap being edited is found by the id the panel carries.
    static void AddRule(Primitive* parent, Button* button);
    static void ClearRules(Primitive* parent, Button* button);
    // Puts a rule into the first empty slot, else over rule 3.
    void AddRuleValues(int32_t input, int32_t output);
    // "%s => %s" for a rule.
    static std::string RuleText(int32_t input, int32_t output);
    // The pickup sheet's name for the rules and the facing ("pickup-x0", "pickup-ud-float"...).
    std::string PickupSheetName() const;
    // The area rectangle (integer halves of the sizes about the truncated position).
    gfx::RECT AreaRect() const;

    std::array<int32_t, 4> oldGravity{kEmpty, kEmpty, kEmpty, kEmpty};
    std::array<int32_t, 4> newGravity{kEmpty, kEmpty, kEmpty, kEmpty};
    int32_t areaWidth = 64;
    int32_t areaHeight = 64;
    uint8_t useArea = 0;
    AnimSurface* lightSheet = nullptr;
    AnimSurface* glowSheet = nullptr;
    int32_t glowAlpha = 0;
    uint8_t glowRising = 0;
    uint8_t randomGravity = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // Moves the flimb for its new gravity (a pickup's, a Puff's or a Spin's turn).
    static void Reanchor(Flimb& flimb, uint8_t from, uint8_t to);
};
