#pragma once
// The update trap (kind 45, "Updater"): a timer and counter for level scripts. It activates
// its target every `trigger_mod` game updates at the phase `trigger_val` or, in counter
// mode, on every `trigger_mod`-th time it is activated itself; once per distinct value.
#include "traps/Trap.h"

#include <cstdint>

class UpdateTrap : public Trap {
public:
    // The target of a new update trap: an id no trap has.
    static constexpr uint32_t kNoTarget = 0xFFFFFFFFu;

    UpdateTrap();

    void Update() override;
    // Counts the activation in counter mode while enabled; the flimb is not used.
    void Activate(Flimb* by) override;
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    // A period below 1 from a file is taken as 1, with a log line.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // "Set Target": the clicked trap becomes the target of the trap whose panel was open.
    static void OnTargetPicked(MapObject* source, MapObject* clicked);

    uint32_t target_trap_id = kNoTarget;
    int32_t trigger_mod = 1; // the period, 1..9999 from the panel
    int32_t trigger_val = 0; // the remainder at which the target fires
    bool counter = false;
    uint32_t activationCount = 0; // counter mode; not saved
    uint32_t lastFired = 0;       // the count or update of the last firing; not saved

protected:
    void CopyKindFields(const Trap& source) override;
};
