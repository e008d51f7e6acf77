#pragma once
// The path trap (kind 27): one waypoint of a numbered set. A flimb that walks into it (or a
// linked trap's event) takes it away; it fires event 0 when it was reached in order and
// event 1 when a waypoint of its set with a smaller ordinal is still there.
#include "traps/Trap.h"

class PathTrap : public Trap {
public:
    PathTrap();

    void Update() override;
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    int32_t ordinal = 0;
    int32_t set = 0;
    bool canTrigger = true;

protected:
    void CopyKindFields(const Trap& source) override;
};
