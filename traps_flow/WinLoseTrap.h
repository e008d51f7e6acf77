#pragma once
// The win-lose trap (kind 25): ends the game for a group with a win or a loss, once, when a
// flimb walks into it or a linked trap activates it. Drawn only in the level editor.
#include "traps/Trap.h"

class WinLoseTrap : public Trap {
public:
    enum Result : int32_t { kNotYet = 0, kWon = 1, kLost = 2 };

    WinLoseTrap();

    void Update() override;
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    bool triggerWin = true;
    int32_t group = 255; // 255: the triggering flimb's group (or the local player's)
    int32_t result = kNotYet;

protected:
    void CopyKindFields(const Trap& source) override;
};
