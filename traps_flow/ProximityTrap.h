#pragma once
// The proximity trap (kind 24): an invisible trigger area. Flimbs that qualify and walk into
// it, its auto-start or another trap's activation start a cycle of its trigger actions, each
// of which enables, disables, activates, deactivates, shows, hides or flushes a target trap
// after its delay. Chains of proximity traps are how levels script sequences.
#include "traps/Trap.h"

#include <cstdint>
#include <vector>

// One action of a proximity trap's list.
struct TriggerAction {
    enum Type : int32_t {
        kEnable = 0,
        kDisable = 1,
        kActivate = 2,
        kDeactivate = 3,
        kShow = 4,
        kHide = 5,
        kFlushList = 6,
    };
    int32_t target = 0;  // "trigger_id": the target trap's id
    int32_t type = kActivate; // "trigger_type"
    int32_t delay = 0;   // "action_delay": updates after the activation; compared unsigned
    int32_t maxUse = -1; // "action_ttl": 0 deletes the action the next time the list runs
    uint8_t done = 0;    // ran in the current cycle (not saved)
    bool operator==(const TriggerAction&) const = default;
};

class ProximityTrap : public Trap {
public:
    // The flimb_mode filter.
    enum FlimbMode : int32_t { kAllFlimbs = 0, kCaptureable = 1, kNonCaptureable = 2, kLight = 3, kDark = 4, kNormal = 5 };
    static constexpr int32_t kAnyGroup = 255;
    static constexpr int32_t kAnyType = 22;

    ProximityTrap();

    void Update() override;
    // Disabled: nothing. A flimb given that does not qualify: nothing. Otherwise notes the
    // update, appends the flimb (or none) to the activators and starts a cycle.
    void Activate(Flimb* by) override;
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    // Drawn only in the level editor or in a god mode (faint then), dark when flimbs cannot
    // trigger it.
    void Draw() override;
    // The flimb leaves the inside list (every entry) and its activations lose it (null).
    void ForgetObject(Flimb* flimb) override;
    // Actions aimed at the removed trap are deleted.
    void ForgetTrap(Trap* dying) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // Whether the flimb passes the speed, group, type, class and facing tests.
    bool Qualifies(const Flimb& flimb) const;

    std::vector<TriggerAction> actions;
    int32_t new_action_type = TriggerAction::kActivate; // editor only, not saved
    int32_t trigger_delay = -1;                           // -1: once only
    int32_t trigger_group = kAnyGroup;
    int32_t maxTriggerFlimbs = 1;
    int32_t player_group = kAnyGroup;
    uint32_t last_trigger = 0;
    uint8_t spent = 0;
    uint8_t triggered = 0;
    bool can_trigger = true;
    bool multi_trigger = false;
    bool trigger_on_load = false;
    int32_t min_speed = 0;
    int32_t min_flimbs = 0;
    int32_t flimb_type = kAnyType;
    int32_t facing = 0; // 0 any, 1 facing left, 2 facing right
    int32_t flimb_mode = kAllFlimbs;
    // Flimbs that triggered and have not left (repeats allowed), and the flimb (or none) of
    // each activation of the current cycle. Records of the world's flimb table, not owned.
    std::vector<Flimb*> inside;
    std::vector<Flimb*> activators;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void TestArea(uint32_t now);
    void RunActions(uint32_t now);
    void ApplyAction(const TriggerAction& action, Trap& target);
};
