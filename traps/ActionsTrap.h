#pragma once
// The actions pickup (kind 14): a flimb that takes it gives its group uses of one morph
// action, is morphed at once (forced mode), or brings extra flimbs to the group's start
// traps. Always a pickup: each take uses one pickup and fires event 0. A flimb standing on
// it takes it once; it takes it again only after more than four updates away.
#include "traps/Trap.h"

#include <string>

class ActionsTrap : public Trap {
public:
    static constexpr int32_t kKind = 14;
    static constexpr int32_t kExtraFlimbs = 11;
    static constexpr int32_t kInfinite = 199;
    static constexpr int32_t kDisabled = 200;
    // The largest count an addition leaves: 199 and 200 are markers, never counts.
    static constexpr int32_t kMostUses = 198;
    static constexpr uint32_t kRetouchUpdates = 4;
    enum Facing : int32_t { kAnyFacing = 0, kFacingLeft = 1, kFacingRight = 2 };

    ActionsTrap();

    void Update() override;
    void Activate(Flimb* by) override;
    // The effect of a take: morph (forced), extra flimbs or the group's counter. `flimb` may
    // be null (an event without one).
    void OnFlimbContact(Flimb* flimb) override;
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    // The sprite, then the number of items while it is 2 or more and not infinite.
    void Draw() override;
    bool DrawEditorLinks(MapObject* filter, bool draw) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // A group's remaining uses after a take of `items`: 199 and 200 (and any count on a
    // disabled counter) replace the counter, an infinite counter stays, anything else adds,
    // kept within 0..198.
    static uint8_t CounterAfterTake(uint8_t counter, int32_t items);
    // The sprite name: the action's name or "extra", "-float" added for a floating pickup.
    std::string SpriteName() const;

    int32_t actionType = 0;
    int32_t numItems = 10;
    int32_t targetTrapId = -1;
    uint8_t forceAction = 0;
    int32_t group = 255;
    int32_t facing = kAnyFacing;
    int32_t targetGroupId = 255;
    uint8_t alternate = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void Take(Flimb* flimb);
    void Morph(Flimb& flimb);
    void AddExtraFlimbs(int32_t receivingGroup);
    // Facing, group and exempt filters of the walk over the flimbs at the trap.
    bool Skips(const Flimb& flimb) const;
};
